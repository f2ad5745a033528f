// Writes the seed corpus of the HTTP reply fuzzer: replies of every form the
// reader takes apart, each behind the piece-size byte the harness reads first.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_http_seeds FOLDER\n");
        return 2;
    }
    const std::string filler(1100, 'f');
    const std::vector<std::pair<std::string, std::string>> seeds = {
        {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello"},
        {"lower-length", "HTTP/1.0 200 OK\r\nContent-length: 3\r\nServer: s\r\n\r\nabcextra"},
        {"no-length", "HTTP/1.0 200 OK\r\nServer: s\r\n\r\nuntil the close"},
        {"continue", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"},
        {"not-found", "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found"},
        {"no-reason", "HTTP/1.1 500\r\n\r\n"},
        {"negative", "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\nx"},
        {"huge", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\nx"},
        {"garbage-length", "HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\nx"},
        {"long-header", "HTTP/1.1 200 OK\r\nX-Filler: " + filler + "\r\n\r\nbody"},
        {"truncated", "HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\nshort"},
        {"bare-lines", "HTTP/1.1 200 OK\n\nbody"},
        {"empty", ""},
    };
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& [name, reply] : seeds) {
        for (char step : {'\0', '\x0f'}) {
            std::ofstream file(folder / (name + "-" + std::to_string(static_cast<int>(step))),
                               std::ios::binary);
            file << step << reply;
            if (!file) return 1;
        }
    }
    return 0;
}

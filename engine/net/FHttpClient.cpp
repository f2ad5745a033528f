#include "net/FHttpClient.h"

#include "core/FApplication.h"
#include "core/FLogStream.h"
#include "core/FRandomService.h"
#include "core/FStringStream.h"
#include "io/FBlockStreambuf.h"
#include "io/FInStream.h"
#include "net/FHttpReplyParser.h"
#include "net/FNetworkNotificationListener.h"
#include "net/FNetworkService.h"

#include <vector>

namespace {

constexpr std::u16string_view k_urlPrefix = u"http://";
constexpr int k_defaultHttpPort = 80;

FNetworkNotificationListener* listener()
{
    return findService<FNetworkNotificationListener>(k_slotNetworkNotifications);
}

std::string utf8Of(const FRefT<FString>& text)
{
    return text.get() == nullptr ? std::string() : text->toUtf8();
}

} // namespace

FHttpClient::FHttpClient(FSocketSystem& sockets, int32_t httpVersion, int32_t port)
    : m_sockets(sockets), m_connector(sockets), m_port(port), m_httpVersion(httpVersion),
      m_reason(makeSharedStringCopy(FString("OK")))
{
    if (m_connector.isReady()) {
        m_connector.setMaxConnectionAttempts(1);
        m_connector.setMaxSendAttempts(1);
        m_ready = true;
    } else {
        m_connector.close();
    }
}

FHttpClient::~FHttpClient()
{
    m_connector.close();
}

bool FHttpClient::close()
{
    m_ready = false;
    m_connector.close();
    return !m_connector.endPoint().isOpen();
}

void FHttpClient::splitUrl(const FString& url, FString& host, FString& path)
{
    std::u16string_view rest = url.view();
    if (rest.substr(0, k_urlPrefix.size()) == k_urlPrefix) rest.remove_prefix(k_urlPrefix.size());
    const std::size_t slash = rest.find(u'/');
    if (slash == std::u16string_view::npos) {
        host = FString(rest);
        path = FString("/");
        return;
    }
    host = FString(rest.substr(0, slash));
    path = FString(rest.substr(slash));
}

std::string FHttpClient::hostLine(const std::string& host) const
{
    std::string line = "Host: " + host;
    if (m_port != k_defaultHttpPort) line += ":" + std::to_string(m_port);
    return line + "\r\n";
}

std::string FHttpClient::getRequestText(const FString& host, const FString& path) const
{
    std::string text = "GET " + path.toUtf8();
    if (m_httpVersion == k_http10)
        text += " HTTP/1.0";
    else if (m_httpVersion == k_http11)
        text += " HTTP/1.1";
    return text + "\r\n" + hostLine(host.toUtf8()) + "\r\n";
}

void FHttpClient::get(const FRefT<FString>& host, const FRefT<FString>& path)
{
    if (auto* network = findService<FNetworkService>(k_slotNetwork)) {
        network->postHttpGet(this, host, path);
        return;
    }
    ZIBBO_LOG(k_logNetworkHttp, true) << "No network module runs GET jobs.";
    notifyFailure(k_failConnectOrSend);
}

void FHttpClient::getUrl(const FRefT<FString>& url)
{
    FString host;
    FString path;
    splitUrl(url.get() != nullptr ? *url : FString(), host, path);
    get(makeSharedStringCopy(host), makeSharedStringCopy(path));
}

bool FHttpClient::connectTo(const FRefT<FString>& host, FNetworkAddress& where)
{
    // Each request has its own connection: a socket closed by the previous
    // request is opened again and what that one left queued is dropped.
    if (!where.resolve(host, m_port)) return false;
    FNetworkEndPoint& endPoint = m_connector.endPoint();
    if (!endPoint.isOpen() && !endPoint.open()) return false;
    FRefT<FInStream> stale;
    m_connector.flushUserBuffer(stale, true, nullptr);
    return m_connector.connect(where);
}

void FHttpClient::runGet(const FRefT<FString>& host, const FRefT<FString>& path)
{
    const std::string request =
        getRequestText(host.get() ? *host : FString(), path.get() ? *path : FString());
    FNetworkAddress where(m_sockets);
    if (!connectTo(host, where)) {
        ZIBBO_LOG(k_logNetworkHttp, true) << "Impossible to connect to host " << where.hostPortText() << ".";
        notifyFailure(k_failConnectOrSend);
        return;
    }
    if (!m_connector.sendBuffer(request.data(), request.size())) {
        ZIBBO_LOG(k_logNetworkHttp, true)
            << "Impossible to send GET request to host " << where.hostPortText() << ".";
        notifyFailure(k_failConnectOrSend);
        return;
    }
    if (auto* target = listener()) target->getSent(this);
    if (!readReplyDefault()) {
        ZIBBO_LOG(k_logNetwork, true) << "Problem receiving reply data.";
        close();
        return;
    }
    ZIBBO_LOG(k_logNetwork, true) << "Got reply from server.";
    if (!close()) {
        ZIBBO_LOG(k_logNetwork, true) << "Can't disconnect from host " << where.hostPortText() << ".";
        notifyFailure(k_failDisconnect);
        return;
    }
    if (auto* target = listener()) target->getDisconnected(this);
}

bool FHttpClient::sendPost(const FRefT<FString>& host, const std::string& header, const std::string& before,
                           const void* data, uint32_t length, const std::string& after)
{
    std::vector<char> block;
    block.reserve(header.size() + before.size() + length + after.size());
    block.insert(block.end(), header.begin(), header.end());
    block.insert(block.end(), before.begin(), before.end());
    if (length > 0)
        block.insert(block.end(), static_cast<const char*>(data), static_cast<const char*>(data) + length);
    block.insert(block.end(), after.begin(), after.end());

    FNetworkAddress where(m_sockets);
    if (!connectTo(host, where) || !m_connector.sendBuffer(block.data(), block.size())) {
        ZIBBO_LOG(k_logNetworkHttp, true)
            << "Impossible to send POST message to host " << where.hostPortText() << ".";
        notifyFailure(k_failConnectOrSend);
        return false;
    }
    if (auto* target = listener()) target->postSent(this);
    return true;
}

namespace {

std::string postHeader(const std::string& path, const std::string& hostLine, const std::string& contentType,
                       std::size_t contentLength)
{
    return "POST " + path + " HTTP/1.0\r\n" + hostLine + "Content-Type: " + contentType + "\r\n" +
           "Content-Length: " + std::to_string(contentLength) + "\r\n\r\n";
}

} // namespace

bool FHttpClient::post(const FRefT<FString>& host, const FRefT<FString>& path, const void* data,
                       uint32_t length, const char* contentType)
{
    const std::string header =
        postHeader(utf8Of(path), hostLine(utf8Of(host)), contentType != nullptr ? contentType : "", length);
    return sendPost(host, header, std::string(), data, length, std::string());
}

std::string FHttpClient::drawBoundary() const
{
    // Letters and digits only: every one is valid in a boundary without quoting.
    static constexpr char k_alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    constexpr uint32_t last = sizeof(k_alphabet) - 2;
    auto* random = findService<FRandomService>(k_slotRandom);
    auto fallback = static_cast<uint32_t>(m_sockets.nowMs());
    std::string boundary;
    for (int i = 0; i < k_boundaryLength; ++i) {
        fallback = fallback * 1664525u + 1013904223u;
        boundary += k_alphabet[random != nullptr ? random->range(0, last) : (fallback >> 16) % (last + 1)];
    }
    return boundary;
}

bool FHttpClient::postVariant(const FRefT<FString>& host, const FRefT<FString>& path, const void* data,
                              uint32_t length, const char* contentType, const FRefT<FString>& trailer)
{
    const std::string boundary = drawBoundary();
    const std::string before = "--" + boundary + "\r\n\r\n";
    const std::string after = "\r\n--" + boundary + "--\r\n" + utf8Of(trailer);
    const std::string type =
        std::string(contentType != nullptr ? contentType : "") + "; boundary=" + boundary;
    const std::string header =
        postHeader(utf8Of(path), hostLine(utf8Of(host)), type, before.size() + length + after.size());
    return sendPost(host, header, before, data, length, after);
}

bool FHttpClient::postUrl(const FRefT<FString>& url, const void* data, uint32_t length,
                          const char* contentType)
{
    FString host;
    FString path;
    splitUrl(url.get() != nullptr ? *url : FString(), host, path);
    return post(makeSharedStringCopy(host), makeSharedStringCopy(path), data, length, contentType);
}

bool FHttpClient::postVariantUrl(const FRefT<FString>& url, const void* data, uint32_t length,
                                 const char* contentType, const FRefT<FString>& trailer)
{
    FString host;
    FString path;
    splitUrl(url.get() != nullptr ? *url : FString(), host, path);
    return postVariant(makeSharedStringCopy(host), makeSharedStringCopy(path), data, length, contentType,
                       trailer);
}

bool FHttpClient::readReply(int32_t timeoutMs)
{
    FHttpReplyParser parser(static_cast<std::size_t>(m_headerBufferSize));
    int32_t budget = timeoutMs;
    bool headerSeen = false;
    for (;;) {
        if (parser.state() == FHttpReplyParser::State::body) {
            if (!headerSeen) {
                headerSeen = true;
                ZIBBO_LOG(k_logNetworkHttp, true) << "Complete message header received.";
                ZIBBO_LOG(k_logNetworkHttp, true) << "Message data size=" << parser.contentLength();
            }
            // Each body step may wait a whole reply time-out.
            budget = m_replyTimeoutMs;
        }
        m_connector.receivePacket(static_cast<uint32_t>(parser.wanted()), &budget);
        FRefT<FInStream> part;
        uint32_t count = 0;
        m_connector.flushUserBuffer(part, true, &count);
        if (count > 0 && part.get() != nullptr) {
            std::vector<char> bytes(count);
            part->read(bytes.data(), count);
            parser.feed(bytes.data(), bytes.size());
        }
        // What was received decides, even when the time ran out in this pass.
        if (parser.state() == FHttpReplyParser::State::header ||
            parser.state() == FHttpReplyParser::State::body) {
            if (m_connector.readEnded())
                parser.finish();
            else if (budget <= 0)
                break;
            else
                continue;
        }
        return finishReply(parser);
    }
    ZIBBO_LOG(k_logNetworkHttp, true) << "Timeout reached.";
    notifyFailure(k_failTimeout);
    return false;
}

bool FHttpClient::finishReply(FHttpReplyParser& parser)
{
    if (parser.state() == FHttpReplyParser::State::complete ||
        parser.failure() == FHttpReplyParser::Failure::status) {
        m_status = parser.status();
        // Reply bytes are not trusted to be UTF-8: each byte becomes one unit.
        std::u16string reason(parser.reason().begin(), parser.reason().end());
        for (char16_t& unit : reason)
            unit &= 0xFF;
        m_reason = makeSharedStringCopy(FString(std::u16string_view(reason)));
    }
    if (parser.state() == FHttpReplyParser::State::failed) {
        if (parser.failure() == FHttpReplyParser::Failure::status) {
            ZIBBO_LOG(k_logNetworkHttp, true) << "Http error: " << m_status << " (" << *m_reason << ")";
            notifyFailure(m_status);
        } else {
            ZIBBO_LOG(k_logNetworkHttp, true) << "Malformed or incomplete reply.";
            notifyFailure(k_failBadReply);
        }
        return false;
    }
    const auto& body = parser.body();
    m_contentLength = static_cast<int32_t>(body.size());
    FRefT<FInStream> stream = FBlockStreambuf::openCopy(body.data(), body.size());
    if (stream.get() == nullptr) {
        notifyFailure(k_failBadReply);
        return false;
    }
    if (auto* target = listener()) target->replyReceived(this, stream);
    return true;
}

void FHttpClient::notifyFailure(int32_t code)
{
    if (auto* target = listener()) target->requestFailed(this, code);
}

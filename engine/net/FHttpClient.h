#pragma once

// Sends HTTP requests to one host over a client connector and reads the
// replies. A GET runs as a job on the network module's thread; POST requests
// and reply reading run on the caller's thread. Every outcome goes to the
// listener in the network-notification slot. One request at a time.

#include "core/FRef.h"
#include "core/FString.h"
#include "net/FNetworkClientConnector.h"

#include <cstddef>
#include <cstdint>
#include <string>

class FHttpReplyParser;

class FHttpClient
{
public:
    // Failure codes besides the HTTP status of a refused reply.
    static constexpr int32_t k_failConnectOrSend = 1000;
    static constexpr int32_t k_failDisconnect = 1001;
    static constexpr int32_t k_failTimeout = 1002;
    // The reply broke off early, its header did not fit, or its length was unusable.
    static constexpr int32_t k_failBadReply = 1003;

    static constexpr int32_t k_http10 = 0;
    static constexpr int32_t k_http11 = 1;
    static constexpr int32_t k_defaultReplyTimeoutMs = 30000;
    static constexpr int32_t k_boundaryLength = 32;

    FHttpClient(FSocketSystem& sockets, int32_t httpVersion, int32_t port);
    virtual ~FHttpClient();
    FHttpClient(const FHttpClient&) = delete;
    FHttpClient& operator=(const FHttpClient&) = delete;

    virtual bool close();
    // Queues the GET job with the network module and returns at once.
    virtual void get(const FRefT<FString>& host, const FRefT<FString>& path);
    virtual void getUrl(const FRefT<FString>& url);
    // Sends `data` between two multipart boundary lines, then `trailer`.
    virtual bool postVariant(const FRefT<FString>& host, const FRefT<FString>& path, const void* data,
                             uint32_t length, const char* contentType, const FRefT<FString>& trailer);
    virtual bool postVariantUrl(const FRefT<FString>& url, const void* data, uint32_t length,
                                const char* contentType, const FRefT<FString>& trailer);
    virtual bool post(const FRefT<FString>& host, const FRefT<FString>& path, const void* data,
                      uint32_t length, const char* contentType);
    virtual bool postUrl(const FRefT<FString>& url, const void* data, uint32_t length,
                         const char* contentType);
    // Reads one reply within `timeoutMs` for the header (and the reply
    // time-out per body step); true when a complete body was notified.
    virtual bool readReply(int32_t timeoutMs);
    virtual bool readReplyDefault() { return readReply(m_replyTimeoutMs); }

    // The GET job itself (run on the network thread by the module).
    void runGet(const FRefT<FString>& host, const FRefT<FString>& path);

    // "http://" (as written) is dropped; the host runs to the first "/", the
    // path from there on ("/" when the URL has none).
    static void splitUrl(const FString& url, FString& host, FString& path);
    // The text of a GET request.
    std::string getRequestText(const FString& host, const FString& path) const;

    bool isReady() const { return m_ready; }
    int32_t port() const { return m_port; }
    int32_t status() const { return m_status; }
    const FRefT<FString>& reason() const { return m_reason; }
    int32_t contentLength() const { return m_contentLength; }
    int32_t replyTimeout() const { return m_replyTimeoutMs; }
    void setReplyTimeout(int32_t milliseconds) { m_replyTimeoutMs = milliseconds; }
    FNetworkClientConnector& connector() { return m_connector; }

private:
    // The "Host:" line with its end of line.
    std::string hostLine(const std::string& host) const;
    // Resolves `host` into `where` and connects to it.
    bool connectTo(const FRefT<FString>& host, FNetworkAddress& where);
    bool sendPost(const FRefT<FString>& host, const std::string& header, const std::string& before,
                  const void* data, uint32_t length, const std::string& after);
    std::string drawBoundary() const;
    bool finishReply(FHttpReplyParser& parser);
    void notifyFailure(int32_t code);

    FSocketSystem& m_sockets;
    bool m_ready = false;
    FNetworkClientConnector m_connector;
    int32_t m_port;
    int32_t m_replyTimeoutMs = k_defaultReplyTimeoutMs;
    int32_t m_httpVersion;
    int32_t m_status = 200;
    FRefT<FString> m_reason;
    int32_t m_contentLength = 0;
    int32_t m_headerBufferSize = 1024;
};

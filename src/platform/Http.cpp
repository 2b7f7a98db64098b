#include "platform/Http.h"

#include <curl/curl.h>
#include <mutex>

namespace {

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t Collect(char* data, size_t size, size_t count, void* user)
{
    auto* body = static_cast<QByteArray*>(user);
    const size_t n = size * count;
    if (body->size() + qsizetype(n) > HttpMaxBody) return 0; // aborts the transfer
    body->append(data, qsizetype(n));
    return n;
}

} // namespace

HttpReply HttpGet(const QString& url, int timeoutMs)
{
    HttpReply reply;
    const QString lower = url.trimmed().toLower();
    if (!lower.startsWith(QLatin1String("http://")) && !lower.startsWith(QLatin1String("https://"))) {
        reply.error = QStringLiteral("Unsupported address: ") + url;
        return reply;
    }
    GlobalInit();
    CURL* curl = curl_easy_init();
    if (!curl) {
        reply.error = QStringLiteral("HTTP client not available");
        return reply;
    }
    const QByteArray u = url.trimmed().toUtf8();
    char errbuf[CURL_ERROR_SIZE] = {0};
    QByteArray body;
    curl_easy_setopt(curl, CURLOPT_URL, u.constData());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errbuf);

    const CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);

    reply.status = status;
    if (rc != CURLE_OK) {
        reply.error = QString::fromUtf8(errbuf[0] ? errbuf : curl_easy_strerror(rc));
        return reply;
    }
    if (status < 200 || status > 299) {
        reply.error = QStringLiteral("HTTP status %1").arg(status);
        return reply;
    }
    reply.ok = true;
    reply.body = body;
    return reply;
}

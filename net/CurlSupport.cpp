#include "net/CurlSupport.h"

#include <mutex>

namespace tarvelin::net {

void ensureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CurlEasy makeCurlEasy()
{
    ensureCurlInitialised();
    return CurlEasy(curl_easy_init());
}

CurlHeaderList makeHeaderList(const std::vector<std::string>& lines)
{
    curl_slist* list = nullptr;
    for (const std::string& line : lines) {
        curl_slist* grown = curl_slist_append(list, line.c_str());
        if (!grown) {
            curl_slist_free_all(list);
            return nullptr;
        }
        list = grown;
    }
    // A header name with nothing after the colon removes libcurl's own line of that name.
    bool hasAccept = false;
    for (const std::string& line : lines) {
        if (line.rfind("Accept:", 0) == 0) hasAccept = true;
    }
    if (!hasAccept) {
        curl_slist* grown = curl_slist_append(list, "Accept:");
        if (!grown) {
            curl_slist_free_all(list);
            return nullptr;
        }
        list = grown;
    }
    return CurlHeaderList(list);
}

void setCommonOptions(CURL* handle)
{
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_PROXY, "");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
}

}  // namespace tarvelin::net

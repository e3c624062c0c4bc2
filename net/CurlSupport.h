// Small helpers shared by the probe and the download over libcurl.
//
// One-time global initialisation (safe to call from any thread), owning wrappers for an easy
// handle and a header list, and the options both requests set alike. No request is sent here.
#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvelin::net {

// Initialises libcurl once per process; later calls return at once.
void ensureCurlInitialised();

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

// A new easy handle (after ensureCurlInitialised), or null when libcurl cannot make one.
CurlEasy makeCurlEasy();

struct CurlSlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHeaderList = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// The request's header lines exactly in this order. libcurl's own Host, User-Agent and Accept
// lines are suppressed, so a request carries these lines and no others.
CurlHeaderList makeHeaderList(const std::vector<std::string>& lines);

// Options common to both requests: no proxy (also none from the environment), no signals
// (the probe runs on a worker thread), no redirects, no cookies, no transfer decoding.
void setCommonOptions(CURL* handle);

}  // namespace tarvelin::net

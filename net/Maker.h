// The maker of Tarvelin: its website, contact address and web server, in one place.
//
// The web server answers the connectivity probe and serves the ticker text; the website and the
// contact address are opened from the main and about windows. Reserved example names stand here
// until the company has its own.
#pragma once

namespace tarvelin::maker {

inline constexpr const char* kHost = "tarvelin.example";
inline constexpr int kPort = 80;
inline constexpr const char* kWebsite = "http://tarvelin.example/";
inline constexpr const char* kContact = "info@tarvelin.example";
inline constexpr const char* kTickerPath = "/Soft/Tarvelin/info.txt";

inline constexpr const char* kProductName = "Tarvelin";
inline constexpr const char* kVersion = "3.4";
inline constexpr const char* kFullVersion = "3.4.0";

}  // namespace tarvelin::maker

#pragma once
// Where the maker's servers are. Built-in addresses use the reserved .example
// domain (the maker's real servers are not reachable from here); the optional
// settings keys MainServer and SecondaryServer (full base addresses ending in
// "/") point an installation at a mirror, such as a local test server.
#include <string>

namespace twi {

std::string MainServerBase();       // "http://www.tarnwick-software.example/" unless overridden
std::string SecondaryServerBase();  // "http://files.tarnwick-software.example/" unless overridden
std::string MainServerHost();       // host name of the main server base address

// Host part of an http://, https:// or ftp:// address ("" when there is none).
std::string HostOfAddress(const std::string& address);

}  // namespace twi

#pragma once
// The scrambled form in which the proxy password is stored in the settings
// ("ProxyPwd"). Encrypt writes HTML character references for blanks, quotes,
// "<", ">", the Windows-1252 dashes and the Latin-1 letters and signs that HTML
// names, and a numeric reference (&#223;) for every other character above code
// 155; then it moves every character 100 codes up in the ANSI code page.
// Decrypt moves them back (a text whose first character is below code 129 was
// stored unscrambled and is taken as it is) and turns the references back into
// characters (platform/twhtml). A text of blanks only is moved, not referenced.
#include <string>

namespace twi {

std::string Encrypt(const std::string& stringToEncrypt);
std::string Decrypt(const std::string& stringToDecrypt);

}  // namespace twi

#include "app/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <cctype>
#include <set>

#include "base/TextConv.h"
#include "install/Catalogue.h"

namespace twi {
namespace {

// A switch's name without its "/" or "-", upper-cased; "" for a plain value.
std::string SwitchName(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return "";
  return UpperAscii(argument.substr(1));
}

bool TakesValue(const std::string& name) {
  return name == "SCAN" || name == "INSTALL" || name == "SERVER" || name == "WAIT";
}

// The catalogue's list text of `name` (compared without regard to case), or "".
std::string CatalogueName(const std::string& name) {
  if (const ProgramEntry* entry = FindProgramByKey(CatalogueKeyOf(name)))
    return std::string(entry->ListText);
  return "";
}

bool ValidHostName(const std::string& host) {
  if (host.empty() || host.size() > 253 || host.front() == '.' || host.front() == '-')
    return false;
  for (char c : host)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') return false;
  return true;
}

bool ValidPort(const std::string& port) {
  if (port.empty() || port.size() > 5) return false;
  for (char c : port)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  long value = std::stol(port);
  return value >= 1 && value <= 65535;
}

bool ValidPath(const std::string& path) {
  for (char c : path) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F || c == '"' || c == '\\' || c == '<' || c == '>') return false;
  }
  return true;
}

bool ParseWait(const std::string& text, int& seconds) {
  if (text.empty() || text.size() > 6) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  long value = std::stol(text);
  if (value > kLongestWait) return false;
  seconds = static_cast<int>(value);
  return true;
}

CommandRequest ParseArguments(const std::vector<std::string>& arguments);

CommandRequest Bad(const std::string& why) {
  CommandRequest bad;
  bad.kind = CommandKind::Usage;
  bad.error = why;
  return bad;
}

}  // namespace

std::string ServerBaseOf(const std::string& address) {
  std::string upper = UpperAscii(address);
  size_t schemeEnd = upper.rfind("HTTP://", 0) == 0 ? 7 : upper.rfind("HTTPS://", 0) == 0 ? 8 : 0;
  if (schemeEnd == 0 || address.size() > 1024) return "";
  size_t pathStart = address.find('/', schemeEnd);
  std::string authority = address.substr(schemeEnd, pathStart - schemeEnd);
  std::string path = pathStart == std::string::npos ? "/" : address.substr(pathStart);
  size_t colon = authority.find(':');
  std::string host = authority.substr(0, colon);
  if (!ValidHostName(host) || !ValidPath(path)) return "";
  if (colon != std::string::npos && !ValidPort(authority.substr(colon + 1))) return "";
  if (path.find('?') != std::string::npos || path.find('#') != std::string::npos) return "";
  return address.substr(0, schemeEnd + authority.size()) + path + (path.back() == '/' ? "" : "/");
}

CommandRequest ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandRequest request = ParseArguments(arguments);
  // A bad command line with /quiet anywhere in it still shows no box.
  for (const std::string& argument : arguments)
    if (argument.size() <= kLongestArgument && SwitchName(argument) == "QUIET") request.quiet = true;
  return request;
}

namespace {

CommandRequest ParseArguments(const std::vector<std::string>& arguments) {
  CommandRequest request;
  if (arguments.empty()) return request;
  std::set<std::string> seen;
  std::string command, name;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.size() > kLongestArgument) return Bad("An argument is longer than the longest one read.");
    std::string sw = SwitchName(argument);
    if (sw.empty()) return Bad("\"" + argument + "\" is not a switch.");
    if (!seen.insert(sw).second) return Bad("/" + sw + " is given more than once.");
    std::string value;
    if (TakesValue(sw)) {
      if (i + 1 >= arguments.size() || !SwitchName(arguments[i + 1]).empty())
        return Bad("/" + sw + " needs a value after it.");
      value = arguments[++i];
      if (value.size() > kLongestArgument) return Bad("An argument is longer than the longest one read.");
    }
    if (sw == "?") {
      request.kind = CommandKind::Usage;
    } else if (sw == "SCAN" || sw == "INSTALL" || sw == "UPDATE") {
      if (!command.empty()) return Bad("Only one of /scan, /install and /update can be given.");
      command = sw;
      name = value;
    } else if (sw == "PROGRAM") {
      request.withProgram = true;
    } else if (sw == "QUIET") {
      request.quiet = true;
    } else if (sw == "SERVER") {
      request.server = ServerBaseOf(value);
      if (request.server.empty()) return Bad("\"" + value + "\" is not a server address.");
    } else if (sw == "WAIT") {
      if (!ParseWait(value, request.waitSeconds)) return Bad("\"" + value + "\" is not a number of seconds.");
    } else {
      return Bad("/" + sw + " is not a switch of this program.");
    }
  }
  if (request.kind == CommandKind::Usage) return request;  // /? wins over the rest
  if (command.empty()) return Bad("No command: give /scan, /install or /update.");
  if (request.withProgram && command != "INSTALL") return Bad("/program goes with /install.");
  if (command == "UPDATE") {
    request.kind = CommandKind::Update;
    return request;
  }
  request.kind = command == "SCAN" ? CommandKind::Scan : CommandKind::Install;
  request.program = CatalogueName(name);
  if (request.program.empty()) return Bad("\"" + name + "\" is not a program of the list.");
  return request;
}

}  // namespace

std::vector<std::string> ArgumentsOf(const std::wstring& commandLine) {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* split = CommandLineToArgvW(commandLine.c_str(), &count);
  if (!split) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(ToUtf8(split[i]));
  LocalFree(split);
  return arguments;
}

std::string UsageText() {
  std::string text =
      "TWInstall.exe /scan \"<program>\" | /install \"<program>\" [/program] | /update\r\n"
      "              [/quiet] [/server <address>] [/wait <seconds>]\r\n"
      "\r\n"
      "/scan      scan the program's runtimes: exit 0 when every one works, 1 when any fails\r\n"
      "/install   install the program's missing runtimes (with /program also the program)\r\n"
      "/update    update the install center when a newer one is out\r\n"
      "/quiet     no window and no message box; each box's text goes to log.txt\r\n"
      "/server    the maker's main server for this run only (http:// or https://)\r\n"
      "/wait      seconds to wait while another run works here (default 600)\r\n"
      "/?         this text\r\n"
      "\r\n"
      "Exit codes: 0 done, 1 a runtime fails (/scan), 87 bad command line,\r\n"
      "1603 failed, 1618 another run kept working here, 3010 done, restart Windows.\r\n"
      "\r\n"
      "Programs:";
  for (const ProgramEntry& entry : Catalogue()) text += " \"" + std::string(entry.ListText) + "\"";
  return text;
}

}  // namespace twi

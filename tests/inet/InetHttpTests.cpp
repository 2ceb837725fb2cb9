// The transfer control against the fixture HTTP server: states, streamed bodies, HTTP
// error pages, broken bodies, time-outs, cancellation, proxies and destruction.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>
#include <wincrypt.h>

#include <memory>

#include "base/RuntimeError.h"
#include "inet/InetTestHelpers.h"
#include "ui/Timer.h"

namespace {

using namespace inettest;
using twi::RuntimeError;
using twi::inet::InetControl;

std::vector<int> WithDisconnect(std::vector<int> states) {
  states.push_back(9);
  states.push_back(10);
  return states;
}

// A failed request: the states it reached, in ascending order, then 11, and nothing of
// a response.
void ExpectFailureStates(const std::vector<int>& states) {
  ASSERT_FALSE(states.empty());
  EXPECT_EQ(states.back(), 11);
  for (std::size_t i = 1; i < states.size(); ++i) EXPECT_LT(states[i - 1], states[i]);
  for (int state : states) EXPECT_LT(state == 11 ? 0 : state, 8) << "state " << state;
}

// Runs `action` and returns the number of the twi::RuntimeError it throws (0: none).
template <typename Action>
long ErrorNumberOf(Action action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.Number();
  }
  return 0;
}

// Committed private memory of the process (Wine leaves PrivateUsage at 0; PagefileUsage
// is the same figure and is filled in).
// Processor time of the calling thread (a waiting thread that spins shows here; the
// transfer threads and WinInet's do not).
double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PagefileUsage;
}

TEST(InetHttp, GetRaisesStatesInOrderOnlyWhilePumpingThenStreamsTheBody) {
  InetControl control;
  StateLog log(control);
  control.Execute(HttpUrl("/bytes/5000"), "GET");
  EXPECT_TRUE(control.StillExecuting());
  Sleep(300);  // the response is in by now, but states wait for the message loop
  EXPECT_TRUE(log.states.empty());

  ASSERT_TRUE(log.WaitFor(12));
  EXPECT_EQ(log.states, kHttpSuccessStates);
  EXPECT_EQ(control.ResponseCode(), 200);
  EXPECT_EQ(control.GetHeader("Content-Length"), "5000");
  EXPECT_EQ(control.GetHeader("content-length"), "5000");
  EXPECT_EQ(control.GetHeader("X-Not-There"), "");
  EXPECT_NE(control.ResponseInfo().find("200"), std::string::npos) << control.ResponseInfo();

  EXPECT_TRUE(ReadBody(control) == Pattern(5000));
  EXPECT_FALSE(control.StillExecuting());
  ASSERT_TRUE(log.WaitFor(10));
  EXPECT_EQ(log.states, WithDisconnect(kHttpSuccessStates));
}

TEST(InetHttp, BodiesOfEverySizeArriveByteExactInFullChunks) {
  InetControl control;
  for (std::size_t size : {0u, 1u, 1023u, 1024u, 1025u, 3u * 1024 * 1024 + 17}) {
    SCOPED_TRACE(size);
    StateLog log(control);
    control.Execute(HttpUrl("/bytes/" + std::to_string(size)));
    ASSERT_TRUE(log.WaitFor(12));
    EXPECT_EQ(log.states, kHttpSuccessStates);
    EXPECT_EQ(control.GetHeader("Content-Length"), std::to_string(size));
    Bytes body = ReadBody(control);
    EXPECT_EQ(body.size(), size);
    EXPECT_TRUE(body == Pattern(size));
    EXPECT_TRUE(control.GetChunk(1024).empty()) << "the end stays the end";
  }
}

// The download engine reads a body through one vector: its storage is kept from chunk to
// chunk, and every chunk is whole and in order.
TEST(InetHttp, ChunksReadIntoOneVectorKeepItsStorage) {
  InetControl control;
  StateLog log(control);
  const std::size_t size = 3 * 1024 * 1024 + 100;
  control.Execute(HttpUrl("/bytes/" + std::to_string(size)));
  ASSERT_TRUE(log.WaitFor(12));
  std::vector<std::uint8_t> chunk;
  control.GetChunk(1024, chunk);
  const std::uint8_t* storage = chunk.data();
  Bytes body;
  std::size_t moved = 0;
  while (!chunk.empty()) {
    EXPECT_TRUE(chunk.size() == 1024 || body.size() + chunk.size() == size) << body.size();
    body.insert(body.end(), chunk.begin(), chunk.end());
    control.GetChunk(1024, chunk);
    if (!chunk.empty() && chunk.data() != storage) ++moved;
  }
  EXPECT_EQ(moved, 0u);
  EXPECT_TRUE(body == Pattern(size));
}

// The download engine reads the whole body inside its handler of state 12.
TEST(InetHttp, BodyCanBeReadInsideTheResponseCompletedHandler) {
  InetControl control;
  std::vector<int> states;
  Bytes body;
  bool read = false;
  control.StateChanged = [&](int state) {
    states.push_back(state);
    if (state == 12) {
      body = ReadBody(control);
      read = true;
    }
  };
  control.Execute(HttpUrl("/bytes/3000000"));
  ASSERT_TRUE(twitest::PumpUntil([&] { return read && states.back() == 10; }, 20s));
  EXPECT_TRUE(body == Pattern(3000000));
  EXPECT_EQ(states, WithDisconnect(kHttpSuccessStates));
}

TEST(InetHttp, UnreadBodyIsHeldInBoundedMemory) {
  InetControl control;
  StateLog log(control);
  std::size_t before = PrivateBytes();
  control.Execute(HttpUrl("/bytes/67108864"));  // 64 MB, not read
  ASSERT_TRUE(log.WaitFor(12));
  twitest::PumpFor(1500ms);
  std::size_t after = PrivateBytes();
  EXPECT_LT(after, before + 16 * 1024 * 1024) << before << " -> " << after;
  EXPECT_TRUE(control.StillExecuting());
  EXPECT_EQ(control.GetChunk(1024), Pattern(1024));
}

TEST(InetHttp, ErrorStatusIsDeliveredAsAResponseWithItsHtmlPage) {
  InetControl control;
  for (const char* path : {"/status/404", "/no/such/file.zip"}) {
    SCOPED_TRACE(path);
    StateLog log(control);
    control.Execute(HttpUrl(path));
    ASSERT_TRUE(log.WaitFor(12));
    EXPECT_EQ(log.states, kHttpSuccessStates);
    EXPECT_EQ(control.ResponseCode(), 404);
    std::string page = AsText(ReadBody(control));
    EXPECT_EQ(page.rfind("<HTML>", 0), 0u) << page;
    EXPECT_EQ(control.GetHeader("Content-Length"), std::to_string(page.size()));
  }
  StateLog log(control);
  control.Execute(HttpUrl("/status/500"));
  ASSERT_TRUE(log.WaitFor(12));
  EXPECT_EQ(control.ResponseCode(), 500);
  EXPECT_NE(AsText(ReadBody(control)).find("<HTML>"), std::string::npos);
}

TEST(InetHttp, BodyWithoutLengthOrShorterThanDeclaredEndsWhereTheServerStops) {
  InetControl control;
  StateLog noLength(control);
  control.Execute(HttpUrl("/noclen/5000"));
  ASSERT_TRUE(noLength.WaitFor(12));
  EXPECT_EQ(control.GetHeader("Content-Length"), "");
  EXPECT_TRUE(ReadBody(control) == Pattern(5000));

  StateLog shortBody(control);
  control.Execute(HttpUrl("/short/10000/4000"));
  ASSERT_TRUE(shortBody.WaitFor(12));
  EXPECT_EQ(control.GetHeader("Content-Length"), "10000");
  EXPECT_TRUE(ReadBody(control) == Pattern(4000));
}

TEST(InetHttp, StalledBodyTimesOutAfterRequestTimeoutWhilePumping) {
  InetControl control;
  control.SetRequestTimeout(2);
  StateLog log(control);
  control.Execute(HttpUrl("/stall/3000/20"));
  ASSERT_TRUE(log.WaitFor(12));
  EXPECT_TRUE(control.GetChunk(1024) == Pattern(1024));
  Bytes second = control.GetChunk(1024);
  EXPECT_TRUE(std::equal(second.begin(), second.end(), Pattern(2048).begin() + 1024));
  // The bytes that came before the server stopped are handed out after a short
  // spell, short of a whole chunk.
  auto partialStart = Clock::now();
  Bytes third = control.GetChunk(1024);
  EXPECT_EQ(third.size(), 3000u - 2048u);
  EXPECT_TRUE(std::equal(third.begin(), third.end(), Pattern(3000).begin() + 2048));
  EXPECT_LT(SecondsSince(partialStart), 1.0);

  int ticks = 0;
  ui::Timer timer;
  timer.SetInterval(250);
  timer.OnTimer = [&] { ++ticks; };
  timer.SetEnabled(true);
  auto start = Clock::now();
  double cpuBefore = CpuSeconds();
  EXPECT_EQ(ErrorNumberOf([&] { control.GetChunk(1024); }), twi::inet::kErrTimedOut);
  double waited = SecondsSince(start);
  EXPECT_GT(waited, 1.8);
  EXPECT_LT(waited, 3.5);
  EXPECT_GE(ticks, 4) << "the wait ran the timer's messages";
  EXPECT_LT(CpuSeconds() - cpuBefore, 0.3) << "the wait sleeps";
}

TEST(InetHttp, WaitSleepsAlsoWhileTheProgramIsQuitting) {
  InetControl control;
  control.SetRequestTimeout(2);
  StateLog log(control);
  control.Execute(HttpUrl("/stall/100/10"));
  ASSERT_TRUE(log.WaitFor(12));
  EXPECT_TRUE(control.GetChunk(1024) == Pattern(100));  // what came before the stall
  PostQuitMessage(0);  // stays in the queue for the main loop
  double cpuBefore = CpuSeconds();
  EXPECT_EQ(ErrorNumberOf([&] { control.GetChunk(1024); }), twi::inet::kErrTimedOut);
  EXPECT_LT(CpuSeconds() - cpuBefore, 0.2);
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is kept";
}

TEST(InetHttp, ConnectionResetMidBodyFailsAfterTheBytesThatCame) {
  InetControl control;
  StateLog log(control);
  control.Execute(HttpUrl("/reset/5000"));
  ASSERT_TRUE(log.WaitFor(12));
  Bytes body;
  long error = ErrorNumberOf([&] {
    for (Bytes chunk = control.GetChunk(1024); !chunk.empty(); chunk = control.GetChunk(1024))
      body.insert(body.end(), chunk.begin(), chunk.end());
  });
  EXPECT_EQ(error, twi::inet::kErrTransferFailed);
  EXPECT_TRUE(body == Pattern(5000)) << body.size() << " bytes";
  EXPECT_FALSE(control.StillExecuting());
}

TEST(InetHttp, CancelDuringSlowBodyEndsGetChunkAtOnceAndSilencesTheRequest) {
  InetControl control;
  StateLog log(control);
  control.Execute(HttpUrl("/slow/400000/40000"));  // ten seconds of body
  ASSERT_TRUE(log.WaitFor(12));

  Clock::time_point cancelledAt{};
  ui::Timer stopButton;
  stopButton.SetInterval(300);
  stopButton.OnTimer = [&] {
    stopButton.SetEnabled(false);
    control.Cancel();
    cancelledAt = Clock::now();
  };
  stopButton.SetEnabled(true);
  std::size_t received = ReadBody(control).size();
  EXPECT_LT(SecondsSince(cancelledAt), 0.3);
  EXPECT_GT(received, 0u);
  EXPECT_LT(received, 400000u);
  EXPECT_FALSE(control.StillExecuting());

  std::size_t statesAtCancel = log.states.size();
  twitest::PumpFor(500ms);
  EXPECT_EQ(log.states.size(), statesAtCancel) << "no state of a cancelled request";

  StateLog next(control);
  control.Execute(HttpUrl("/text/again"));
  ASSERT_TRUE(next.WaitFor(12));
  EXPECT_EQ(AsText(ReadBody(control)), "again");
  ASSERT_TRUE(next.WaitFor(10));
  EXPECT_EQ(next.states, WithDisconnect(kHttpSuccessStates)) << "nothing left of the old request";
}

TEST(InetHttp, ExecuteWhileExecutingThrowsStillExecuting) {
  InetControl control;
  StateLog log(control);
  control.Execute(HttpUrl("/hold/5"));
  EXPECT_EQ(ErrorNumberOf([&] { control.Execute(HttpUrl("/text/x")); }),
            twi::inet::kErrStillExecuting);
  EXPECT_EQ(ErrorNumberOf([&] { control.Execute(FtpAddress(), "CLOSE"); }),
            twi::inet::kErrStillExecuting);
  control.Cancel();
  control.Execute(HttpUrl("/text/x"));
  ASSERT_TRUE(log.WaitFor(12));
  EXPECT_EQ(AsText(ReadBody(control)), "x");
}

TEST(InetHttp, RefusedConnectionEndsWithErrorStateAndWinInetsText) {
  InetControl control;
  StateLog log(control);
  control.Execute("http://127.0.0.1:1/file.zip");
  ASSERT_TRUE(log.WaitFor(11));
  twitest::PumpFor(200ms);
  ExpectFailureStates(log.states);
  EXPECT_NE(control.ResponseInfo().find("12029"), std::string::npos) << control.ResponseInfo();
  EXPECT_FALSE(control.StillExecuting());
  EXPECT_TRUE(control.GetChunk(1024).empty());
}

TEST(InetHttp, ServerThatNeverAnswersFailsAfterRequestTimeout) {
  InetControl control;
  control.SetRequestTimeout(1);
  StateLog log(control);
  auto start = Clock::now();
  control.Execute(HttpUrl("/hold/10"));
  ASSERT_TRUE(log.WaitFor(11, 5s));
  EXPECT_LT(SecondsSince(start), 2.5);
  ExpectFailureStates(log.states);
  EXPECT_NE(control.ResponseInfo().find("12002"), std::string::npos) << control.ResponseInfo();
}

// Makes the certificate of the fixture's "trusted" TLS port a trusted root of this
// (throw-away) Wine prefix's user. Wine's certificate chain engine reads the root store
// once per process, at the first certificate check: call this before any HTTPS request.
bool TrustFixtureCertificate() {
  std::string pem = twitest::ReadFileBytes(ServerFile("trusted-cert.crt"));
  DWORD size = 0;
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr,
                            nullptr))
    return false;
  std::vector<BYTE> der(size);
  CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                       nullptr);
  HCERTSTORE root = CertOpenSystemStoreW(0, L"ROOT");
  if (!root) return false;
  BOOL added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), size,
                                                CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(root, 0);
  return added != FALSE;
}

TEST(InetHttp, HttpsWorksWithCertificateCheckingOn) {
  ASSERT_TRUE(TrustFixtureCertificate());
  InetControl control;
  StateLog trusted(control);
  control.Execute(HttpsUrl("https-trusted.port", "/text/secret"));
  ASSERT_TRUE(trusted.WaitFor(12, 5s)) << control.ResponseInfo();
  EXPECT_EQ(trusted.states, kHttpSuccessStates);
  EXPECT_EQ(AsText(ReadBody(control)), "secret");

  StateLog untrusted(control);
  control.Execute(HttpsUrl("https-untrusted.port", "/text/secret"));
  ASSERT_TRUE(untrusted.WaitFor(11));
  EXPECT_FALSE(untrusted.Has(12));
  EXPECT_NE(control.ResponseInfo().find("12045"), std::string::npos) << control.ResponseInfo();
}

TEST(InetHttp, NamedProxyCarriesTheRequestWithItsCredentials) {
  InetControl control;
  const std::string proxy = "127.0.0.1:" + std::to_string(twitest::ServerPort("HTTP"));
  control.SetAccessType(2);
  control.SetProxy(proxy);
  control.SetUserName("twi");
  control.SetPassword("secret");
  EXPECT_EQ(control.AccessType(), 2);
  EXPECT_EQ(control.Proxy(), proxy);

  // The host does not exist: only the proxy can answer.
  StateLog viaProxy(control);
  control.Execute("http://maker.example/proxyauth/text/proxied");
  ASSERT_TRUE(viaProxy.WaitFor(12));
  EXPECT_EQ(control.ResponseCode(), 200);
  EXPECT_EQ(control.GetHeader("X-Fixture-Proxied"), "yes");
  EXPECT_EQ(AsText(ReadBody(control)), "proxied");

  control.SetPassword("wrong");
  StateLog refused(control);
  control.Execute("http://maker.example/proxyauth/text/proxied");
  ASSERT_TRUE(refused.WaitFor(12));
  EXPECT_EQ(control.ResponseCode(), 407);
  ReadBody(control);

  EXPECT_EQ(ErrorNumberOf([&] { control.SetAccessType(3); }), 380);
  EXPECT_EQ(control.AccessType(), 2);
}

TEST(InetHttp, ProxyWhereNothingListensFailsWhileDirectAccessSucceeds) {
  InetControl control;
  StateLog first(control);
  control.Execute(HttpUrl("/text/direct"));  // a direct request to the same server first
  ASSERT_TRUE(first.WaitFor(12));
  EXPECT_EQ(AsText(ReadBody(control)), "direct");

  control.SetAccessType(2);
  control.SetProxy("127.0.0.1:1");
  StateLog viaProxy(control);
  control.Execute(HttpUrl("/text/direct"));
  ASSERT_TRUE(viaProxy.WaitFor(11));
  EXPECT_FALSE(viaProxy.Has(12));

  control.SetAccessType(1);
  StateLog direct(control);
  control.Execute(HttpUrl("/text/direct"));
  ASSERT_TRUE(direct.WaitFor(12));
  EXPECT_EQ(control.GetHeader("X-Fixture-Proxied"), "");
  EXPECT_EQ(AsText(ReadBody(control)), "direct");
}

TEST(InetHttp, DestroyingTheControlMidTransferReturnsPromptly) {
  // A body that stalls after its first bytes, and a server that never answers.
  struct Case {
    const char* path;
    bool bodyArrives;
  };
  for (const Case& c : {Case{"/stall/2000/30", true}, Case{"/hold/30", false}}) {
    SCOPED_TRACE(c.path);
    auto control = std::make_unique<InetControl>();
    StateLog log(*control);
    control->Execute(HttpUrl(c.path));
    EXPECT_EQ(twitest::PumpUntil([&] { return log.Has(12); }, 1s), c.bodyArrives);
    if (c.bodyArrives) {
      EXPECT_EQ(control->GetChunk(1024), Pattern(1024));
    }
    auto start = Clock::now();
    control.reset();
    EXPECT_LT(SecondsSince(start), 1.0);
  }
}

TEST(InetHttp, MalformedAddressesAndOperationsAreRejectedAtOnce) {
  InetControl control;
  EXPECT_EQ(ErrorNumberOf([&] { control.Execute(HttpUrl("/text/x"), "PUT"); }),
            twi::err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([&] { control.Execute("gopher://127.0.0.1/x"); }),
            twi::err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([&] { control.Execute(FtpAddress(), "DELETE x"); }),
            twi::err::InvalidProcedureCall);
  EXPECT_FALSE(control.StillExecuting());
}

}  // namespace

#pragma once
// The states the transfer control raises through StateChanged.
namespace twi::inet::state {

constexpr int ResolvingHost = 1;
constexpr int HostResolved = 2;
constexpr int Connecting = 3;
constexpr int Connected = 4;
constexpr int Requesting = 5;
constexpr int RequestSent = 6;
constexpr int ReceivingResponse = 7;
constexpr int ResponseReceived = 8;
constexpr int Disconnecting = 9;
constexpr int Disconnected = 10;
constexpr int Error = 11;
constexpr int ResponseCompleted = 12;

}  // namespace twi::inet::state

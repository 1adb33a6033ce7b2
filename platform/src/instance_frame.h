// The bytes a second start sends to the running program, and the replies it gets back. All
// numbers are little-endian. A request is a header (magic, body size) and a body (message,
// then each parameter as a kind byte and a 64-bit number or a count of UTF-16 units and the
// units of a text or of a mapped file's host path). A reply is a magic that says which reply it is
// and a 64-bit number.
#pragma once

#include <platform/instance.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

constexpr std::uint32_t kRequestMagic = 0x31494353; // "SCI1"
constexpr std::uint32_t kReceiptMagic = 0x4B494353; // "SCIK": the request was taken
constexpr std::uint32_t kResultMagic = 0x52494353;  // "SCIR": the window procedure's result
constexpr std::size_t kRequestHeaderSize = 8;
constexpr std::size_t kReplySize = 12;
// Paths and command lines are short; this bounds what a stranger can make us allocate.
constexpr std::size_t kMaxRequestText = 32768;
constexpr std::size_t kMaxRequestBody = 4 + 2 * (1 + 4 + 2 * kMaxRequestText);

// False when a text is longer than kMaxRequestText.
bool EncodeRequest(const InstanceRequest& request, std::vector<std::uint8_t>* frame);
// The body size a header announces; false for a wrong magic or a size past kMaxRequestBody.
bool DecodeRequestHeader(const std::uint8_t* header, std::uint32_t* bodySize);
// False unless the body is exactly one well-formed request.
bool DecodeRequestBody(const std::uint8_t* body, std::size_t size, InstanceRequest* request);

std::array<std::uint8_t, kReplySize> EncodeReply(std::uint32_t magic, std::int64_t value);
bool DecodeReply(const std::uint8_t* reply, std::uint32_t* magic, std::int64_t* value);

} // namespace plat

#include "instance_frame.h"

namespace plat {
namespace {

constexpr std::uint8_t kNumberKind = 0;
constexpr std::uint8_t kTextKind = 1;
constexpr std::uint8_t kHostFileKind = 2;

void Put(std::vector<std::uint8_t>* out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t Get(const std::uint8_t* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return v;
}

// Reads from a body while checking each size against what is left.
struct Reader {
    const std::uint8_t* p;
    std::size_t left;

    bool Take(int bytes, std::uint64_t* v) {
        if (left < static_cast<std::size_t>(bytes))
            return false;
        *v = Get(p, bytes);
        p += bytes;
        left -= bytes;
        return true;
    }

    bool Param(InstanceParam* param) {
        std::uint64_t kind = 0, v = 0;
        if (!Take(1, &kind))
            return false;
        if (kind == kNumberKind) {
            if (!Take(8, &v))
                return false;
            param->isText = false;
            param->number = static_cast<intptr_t>(static_cast<std::int64_t>(v));
            return true;
        }
        if ((kind != kTextKind && kind != kHostFileKind) || !Take(4, &v) || v > kMaxRequestText ||
            v * 2 > left)
            return false;
        param->isText = true;
        param->isHostFile = kind == kHostFileKind;
        param->text.resize(v);
        for (std::size_t i = 0; i < v; ++i)
            param->text[i] = static_cast<char16_t>(Get(p + 2 * i, 2));
        p += 2 * v;
        left -= 2 * v;
        return true;
    }
};

bool PutParam(std::vector<std::uint8_t>* out, const InstanceParam& param) {
    if (!param.isText) {
        Put(out, kNumberKind, 1);
        Put(out, static_cast<std::uint64_t>(static_cast<std::int64_t>(param.number)), 8);
        return true;
    }
    if (param.text.size() > kMaxRequestText)
        return false;
    Put(out, param.isHostFile ? kHostFileKind : kTextKind, 1);
    Put(out, param.text.size(), 4);
    for (char16_t c : param.text)
        Put(out, c, 2);
    return true;
}

} // namespace

bool EncodeRequest(const InstanceRequest& request, std::vector<std::uint8_t>* frame) {
    std::vector<std::uint8_t> body;
    Put(&body, request.message, 4);
    if (!PutParam(&body, request.wParam) || !PutParam(&body, request.lParam))
        return false;
    frame->clear();
    Put(frame, kRequestMagic, 4);
    Put(frame, body.size(), 4);
    frame->insert(frame->end(), body.begin(), body.end());
    return true;
}

bool DecodeRequestHeader(const std::uint8_t* header, std::uint32_t* bodySize) {
    if (Get(header, 4) != kRequestMagic)
        return false;
    *bodySize = static_cast<std::uint32_t>(Get(header + 4, 4));
    return *bodySize <= kMaxRequestBody;
}

bool DecodeRequestBody(const std::uint8_t* body, std::size_t size, InstanceRequest* request) {
    Reader r{body, size};
    std::uint64_t message = 0;
    InstanceRequest got;
    if (!r.Take(4, &message) || !r.Param(&got.wParam) || !r.Param(&got.lParam) || r.left != 0)
        return false;
    got.message = static_cast<UINT>(message);
    *request = std::move(got);
    return true;
}

std::array<std::uint8_t, kReplySize> EncodeReply(std::uint32_t magic, std::int64_t value) {
    std::vector<std::uint8_t> bytes;
    Put(&bytes, magic, 4);
    Put(&bytes, static_cast<std::uint64_t>(value), 8);
    std::array<std::uint8_t, kReplySize> out{};
    for (std::size_t i = 0; i < kReplySize; ++i)
        out[i] = bytes[i];
    return out;
}

bool DecodeReply(const std::uint8_t* reply, std::uint32_t* magic, std::int64_t* value) {
    *magic = static_cast<std::uint32_t>(Get(reply, 4));
    *value = static_cast<std::int64_t>(Get(reply + 4, 8));
    return *magic == kReceiptMagic || *magic == kResultMagic;
}

} // namespace plat

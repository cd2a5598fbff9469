#include "start/Base64Text.h"

namespace {

int Base64Value(unsigned char ch)
{
    if (ch >= 'A' && ch <= 'Z')
        return ch - 'A';
    if (ch >= 'a' && ch <= 'z')
        return ch - 'a' + 26;
    if (ch >= '0' && ch <= '9')
        return ch - '0' + 52;
    if (ch == '+')
        return 62;
    if (ch == '/')
        return 63;
    return -1;
}

}  // namespace

std::size_t DecodeBase64Bytes(const std::string& text, unsigned char* out, std::size_t nOutSize)
{
    if (!out || nOutSize == 0)
        return 0;
    std::size_t written = 0;
    int group[4] = {};
    int count = 0;
    auto flush = [&](int nValid) -> bool {
        if (nValid < 2)
            return true;
        const std::size_t bytes = std::size_t(nValid - 1);   // 2 characters give 1 byte, 3 give 2, 4 give 3
        if (written + bytes >= nOutSize)
            return false;
        const unsigned value = unsigned(group[0]) << 18 | unsigned(group[1]) << 12 |
                               unsigned(nValid > 2 ? group[2] : 0) << 6 | unsigned(nValid > 3 ? group[3] : 0);
        out[written++] = (unsigned char)(value >> 16);
        if (bytes > 1)
            out[written++] = (unsigned char)(value >> 8);
        if (bytes > 2)
            out[written++] = (unsigned char)value;
        return true;
    };
    bool bStopped = false;
    for (unsigned char ch : text) {
        const int value = Base64Value(ch);
        if (value < 0)
            continue;
        group[count++] = value;
        if (count == 4) {
            if (!flush(4)) {
                bStopped = true;
                break;
            }
            count = 0;
        }
    }
    if (!bStopped)
        flush(count);
    out[written] = 0;
    return written;
}

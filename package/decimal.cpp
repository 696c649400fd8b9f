#include "package/decimal.h"

namespace package {

uint32_t ParseUnsignedDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (uint64_t)(*text - '0');
        if (value > 0xFFFFFFFFu) return 0xFFFFFFFFu;
    }
    return (uint32_t)value;
}

}  // namespace package

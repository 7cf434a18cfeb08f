#include "value_format.h"

std::size_t FormatValue(double value, const ValueFormat &format, char *buffer)
{
    if (format.shortest) {
        return kelvaro_rpn_format_shortest(value, buffer, kValueTextSize);
    }
    return kelvaro_rpn_format_fixed(value, format.decimals, buffer, kValueTextSize);
}

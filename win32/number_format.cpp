#include "win32/number_format.h"

#include <cstdio>

#include "win32/wide.h"

namespace qm::win32 {

namespace {
std::wstring LocaleText(const wchar_t* locale, LCTYPE type, const wchar_t* fallback) {
    wchar_t buffer[64] = {};
    if (GetLocaleInfoEx(locale, type, buffer, 64) == 0) return fallback;
    return buffer;
}
UINT LocaleNumber(const wchar_t* locale, LCTYPE type, UINT fallback) {
    DWORD value = 0;
    if (GetLocaleInfoEx(locale, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&value),
                        sizeof value / sizeof(wchar_t)) == 0)
        return fallback;
    return value;
}
// LOCALE_SGROUPING ("3;0", "3;2;0", "3") as the number NUMBERFMT wants (3, 32, 30).
UINT GroupingNumber(const std::wstring& grouping) {
    UINT number = 0;
    bool endsInZero = grouping.size() >= 2 && grouping.compare(grouping.size() - 2, 2, L";0") == 0;
    std::wstring digits = endsInZero ? grouping.substr(0, grouping.size() - 2) : grouping;
    for (wchar_t c : digits)
        if (c >= L'0' && c <= L'9') number = number * 10 + static_cast<UINT>(c - L'0');
    return endsInZero ? number : number * 10;
}
}  // namespace

Win32NumberFormat::Win32NumberFormat(const wchar_t* localeName)
    : userDefault_(localeName == LOCALE_NAME_USER_DEFAULT), locale_(localeName ? localeName : L"") {
    Reload();
}

const wchar_t* Win32NumberFormat::LocaleName() const {
    return userDefault_ ? LOCALE_NAME_USER_DEFAULT : locale_.c_str();
}

void Win32NumberFormat::Reload() {
    decimal_ = LocaleText(LocaleName(), LOCALE_SDECIMAL, L".");
    thousand_ = LocaleText(LocaleName(), LOCALE_STHOUSAND, L",");
    grouping_ = GroupingNumber(LocaleText(LocaleName(), LOCALE_SGROUPING, L"3;0"));
    leadingZero_ = LocaleNumber(LocaleName(), LOCALE_ILZERO, 1);
    negativeOrder_ = LocaleNumber(LocaleName(), LOCALE_INEGNUMBER, 1);
}

std::string Win32NumberFormat::Format(double value, int decimals) const {
    // The plain number, rounded once, as GetNumberFormatEx wants it: digits and ".".
    char plain[400];
    std::snprintf(plain, sizeof plain, "%.*f", decimals, value);
    std::wstring input = Widen(plain);
    NUMBERFMTW format{};
    format.NumDigits = static_cast<UINT>(decimals);
    format.LeadingZero = leadingZero_;
    format.Grouping = grouping_;
    format.lpDecimalSep = const_cast<wchar_t*>(decimal_.c_str());
    format.lpThousandSep = const_cast<wchar_t*>(thousand_.c_str());
    format.NegativeOrder = negativeOrder_;
    wchar_t output[512];
    if (GetNumberFormatEx(LocaleName(), 0, input.c_str(), &format, output, 512) == 0) return plain;
    return Narrow(output);
}

}  // namespace qm::win32

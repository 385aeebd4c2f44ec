// Numbers in a locale's regional format over Win32.
#pragma once

#include <windows.h>

#include <string>

#include "core/platform/number_format.h"

namespace qm::win32 {

// Numbers in the regional format of a locale (the user's by default). The
// format is read once, when the object is made, and on Reload.
class Win32NumberFormat : public NumberFormat {
public:
    explicit Win32NumberFormat(const wchar_t* localeName = LOCALE_NAME_USER_DEFAULT);
    std::string Format(double value, int decimals) const override;
    void Reload();

private:
    const wchar_t* LocaleName() const;

    bool userDefault_;
    std::wstring locale_;
    std::wstring decimal_;
    std::wstring thousand_;
    UINT grouping_ = 3;
    UINT leadingZero_ = 1;
    UINT negativeOrder_ = 1;
};

}  // namespace qm::win32

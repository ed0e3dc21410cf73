// Any bytes as replies, clicks, typing and timer expiries to any page of any variant: the first byte
// chooses the page, the rest drives it (see tests/support/page_reply_driver.h).
#include <cstddef>
#include <cstdint>

#include "page_fixture.h"
#include "page_reply_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    nms::test::EnsureApplication();
    nms::test::DrivePage(data[0], data + 1, size - 1);
    return 0;
}

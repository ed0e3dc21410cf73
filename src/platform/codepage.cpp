#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace nms {
namespace {

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

std::string GbkToUtf8(const std::string& gbk) {
    if (IsAscii(gbk)) return gbk;
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == (iconv_t)-1) return gbk;
    std::string out;
    std::vector<char> buf(gbk.size() * 4 + 16);
    char* in = const_cast<char*>(gbk.data());
    size_t inLeft = gbk.size();
    while (inLeft > 0) {
        char* o = buf.data();
        size_t oLeft = buf.size();
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf.data(), o - buf.data());
        if (r == (size_t)-1 && (errno == EILSEQ || errno == EINVAL)) {
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        } else if (r == (size_t)-1 && errno != E2BIG) {
            break;
        }
    }
    iconv_close(cd);
    return out;
}

bool Utf8ToGbk(const std::string& utf8, std::string* gbk) {
    if (IsAscii(utf8)) {
        *gbk = utf8;
        return true;
    }
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == (iconv_t)-1) return false;
    std::vector<char> buf(utf8.size() * 2 + 16);
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* o = buf.data();
    size_t oLeft = buf.size();
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    iconv_close(cd);
    if (r == (size_t)-1 || inLeft != 0) return false;
    gbk->assign(buf.data(), o - buf.data());
    return true;
}

}  // namespace nms

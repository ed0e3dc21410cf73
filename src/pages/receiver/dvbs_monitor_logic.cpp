#include "pages/receiver/dvbs_monitor_logic.h"

#include <algorithm>
#include <cstdio>

namespace nms {
namespace {

std::string Format(const char* format, double value, const char* unit) {
    char text[48];
    std::snprintf(text, sizeof text, format, value, unit);
    return text;
}

// The value texts of the variants with up to eight channels: some channels show the integer part alone
// as a percentage for some signal kinds.
std::string ChannelText(int channel, int kind, uint8_t q, uint8_t h, const char* unit) {
    if ((channel == 1 && kind == 3) || ((channel == 2 || channel == 3) && (kind == 3 || kind == 4))) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f%%", double(q));
        return text;
    }
    const double value = q + h / 100.0;
    return Format(channel == 3 ? "%2.2f%s" : "%.2f%s", value, unit);
}

void SetValue(DvbsMonitorRow& row, int channel, int kind, uint8_t q, uint8_t h, const char* unit) {
    row.hasValue = true;
    row.bar = q;
    row.text = ChannelText(channel, kind, q, h, unit);
}

void SetLocks(DvbsMonitorStatus* s, uint8_t bits, int first, int count) {
    for (int i = 0; i < count; ++i) {
        s->rows[size_t(first + i)].hasLock = true;
        s->rows[size_t(first + i)].lock = bits >> i & 1;
    }
}

bool KindIsDb(int pageParam, int kind) {
    if (pageParam == 33)
        return kind >= 2 && kind <= 6;
    return kind >= 2 && kind <= 5;
}

}  // namespace

bool IsDvbsMonitorVariant(int pageParam) {
    return pageParam == 0 || pageParam == 33 || pageParam == 36 || pageParam == 37 || pageParam == 39;
}

std::string DvbsRateText(uint32_t x) {
    const uint64_t steps = uint64_t(x) * 1504 / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", double(steps) * 0.0010666666666666667);
    return text;
}

bool DecodeDvbsMonitorStatus(int pageParam, uint16_t deviceType, const ReplyView& reply,
                             DvbsMonitorStatus* out) {
    const ByteReader r = reply.Reader();
    const int kind = reply.B();
    DvbsMonitorStatus s;
    if (pageParam == 39) {
        if (!r.Has(0, 6 + 6 * 15 + 2))
            return false;
        const bool db = kind == 6;
        s.barMax = db ? 28 : 40;
        SetLocks(&s, r.U8Or(0), 0, 8);
        SetLocks(&s, r.U8Or(1), 8, 8);
        for (int n = 0; n < 16; ++n) {
            // A value above the scale shows as its top, then the hundredths are added.
            const int q = std::min<int>(r.U8Or(size_t(6 + 6 * n)), s.barMax);
            const uint8_t h = r.U8Or(size_t(7 + 6 * n));
            DvbsMonitorRow& row = s.rows[size_t(n)];
            row.hasValue = true;
            row.bar = q;
            row.text = Format("%.2f%s", q + h / 100.0, db ? "db" : "%");
        }
        *out = s;
        return true;
    }
    if (!IsDvbsMonitorVariant(pageParam))
        return false;
    const bool db = KindIsDb(pageParam, kind);
    const char* unit = db ? "db" : "%";
    s.barMax = db ? 28 : 100;
    if (pageParam == 0) {
        if (!r.Has(0, 21))
            return false;
        for (int n = 0; n < 4; ++n) {
            // The hundredths share their bytes with the rate words and levels of the records.
            const uint8_t h = kind == 2 ? r.U8Or(size_t(14 + n)) : 0;
            SetValue(s.rows[size_t(n)], n, kind, r.U8Or(size_t(5 * n + 4)), h, unit);
            const uint32_t word = r.U32LEOr(size_t(5 * n));
            s.useful[size_t(n)] = DvbsRateText(word >> 16);
            s.total[size_t(n)] = DvbsRateText(word & 0xffff);
        }
        s.hasRates = true;
        SetLocks(&s, r.U8Or(20), 0, 4);
        *out = s;
        return true;
    }
    // 33, 36 and 37: six channels, then the rows beyond them by variant.
    const size_t need = pageParam == 37 ? (kind == 2 ? 49 : 41) : pageParam == 33 && kind != 2 ? 38 : 31;
    if (!r.Has(0, need))
        return false;
    for (int n = 0; n < 6; ++n) {
        const uint8_t h = kind == 2 || kind == 5 ? r.U8Or(size_t(24 + n)) : 0;
        SetValue(s.rows[size_t(n)], n, kind, r.U8Or(size_t(4 + 5 * n)), h, unit);
    }
    const uint8_t locks = r.U8Or(30);
    if (pageParam == 37) {
        SetLocks(&s, locks, 0, 8);
        if (kind == 2) {
            SetValue(s.rows[6], 6, kind, r.U8Or(41), r.U8Or(42), unit);
            SetValue(s.rows[7], 7, kind, r.U8Or(47), r.U8Or(48), unit);
        } else {
            SetValue(s.rows[6], 6, kind, r.U8Or(35), 0, unit);
            SetValue(s.rows[7], 7, kind, r.U8Or(40), 0, unit);
        }
    } else if (pageParam == 36) {
        SetLocks(&s, locks, 0, 7);
    } else {
        SetLocks(&s, locks, 0, 6);
        if (kind == 2) {
            SetLocks(&s, uint8_t(locks >> 6), 6, 1);
            s.rows[6].show = DvbsMonitorRow::kLabelAndLamp;
        } else {
            SetLocks(&s, r.U8Or(37), 6, 6);
            if (kind == 6) {
                s.rows[4].show = DvbsMonitorRow::kLabelAndLamp;
                for (int row : {5, 6, 7})
                    s.rows[size_t(row)].show = DvbsMonitorRow::kHidden;
            } else {
                s.rows[4].show = s.rows[5].show = DvbsMonitorRow::kFull;
                for (int row = 6; row < 12; ++row)
                    if (row < 9 || deviceType != 0x4187)
                        s.rows[size_t(row)].show = DvbsMonitorRow::kLabelAndLamp;
                // Channels 7 and 8 only when both of their byte pairs came.
                if (r.Has(38, 4)) {
                    SetValue(s.rows[6], 6, kind, r.U8Or(38), r.U8Or(39), unit);
                    SetValue(s.rows[7], 7, kind, r.U8Or(40), r.U8Or(41), unit);
                    s.rows[6].show = s.rows[7].show = DvbsMonitorRow::kFull;
                }
            }
        }
        // Lamps of rows the variant never shows stay as they are.
        for (int row = 6; row < 12; ++row)
            if (s.rows[size_t(row)].show == DvbsMonitorRow::kHidden)
                s.rows[size_t(row)].hasLock = false;
    }
    *out = s;
    return true;
}

}  // namespace nms

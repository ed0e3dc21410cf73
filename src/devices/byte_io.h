// Bounded reads and writes of byte images: replies, records and files. Every access names its offset and
// width; a read past the end fails and leaves its output untouched, a write past the end of the
// destination fails and writes nothing. Little- and big-endian 8/16/32-bit values and byte ranges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace nms {

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}
    explicit ByteReader(const std::vector<uint8_t>& bytes) : ByteReader(bytes.data(), bytes.size()) {}

    const uint8_t* Data() const { return m_data; }
    size_t Size() const { return m_size; }

    // True when bytes [offset, offset + count) lie inside.
    bool Has(size_t offset, size_t count) const { return offset <= m_size && count <= m_size - offset; }

    bool U8(size_t offset, uint8_t* value) const {
        if (!Has(offset, 1))
            return false;
        *value = m_data[offset];
        return true;
    }
    bool U16LE(size_t offset, uint16_t* value) const {
        if (!Has(offset, 2))
            return false;
        *value = uint16_t(m_data[offset] | m_data[offset + 1] << 8);
        return true;
    }
    bool U16BE(size_t offset, uint16_t* value) const {
        if (!Has(offset, 2))
            return false;
        *value = uint16_t(m_data[offset] << 8 | m_data[offset + 1]);
        return true;
    }
    bool U32LE(size_t offset, uint32_t* value) const {
        if (!Has(offset, 4))
            return false;
        const uint8_t* p = m_data + offset;
        *value = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        return true;
    }
    bool U32BE(size_t offset, uint32_t* value) const {
        if (!Has(offset, 4))
            return false;
        const uint8_t* p = m_data + offset;
        *value = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
        return true;
    }
    bool Bytes(size_t offset, size_t count, uint8_t* out) const {
        if (!Has(offset, count))
            return false;
        if (count)
            std::memcpy(out, m_data + offset, count);
        return true;
    }
    bool Bytes(size_t offset, size_t count, std::vector<uint8_t>* out) const {
        if (!Has(offset, count))
            return false;
        out->assign(m_data + offset, m_data + offset + count);
        return true;
    }
    // The bytes from offset on, at most count of them (none when offset lies past the end).
    ByteReader Sub(size_t offset, size_t count = SIZE_MAX) const {
        if (offset > m_size)
            return {};
        const size_t left = m_size - offset;
        return ByteReader(m_data + offset, count < left ? count : left);
    }
    // Text of a fixed field of count bytes: up to its first NUL, never past the field or the data.
    std::string Text(size_t offset, size_t count) const {
        if (offset >= m_size)
            return {};
        const size_t left = m_size - offset;
        const size_t n = count < left ? count : left;
        const void* nul = std::memchr(m_data + offset, 0, n);
        return std::string(reinterpret_cast<const char*>(m_data + offset),
                           nul ? size_t(static_cast<const uint8_t*>(nul) - (m_data + offset)) : n);
    }

    // Value-or-default forms for callers that already checked the size.
    uint8_t U8Or(size_t offset, uint8_t fallback = 0) const {
        uint8_t v = fallback;
        U8(offset, &v);
        return v;
    }
    uint16_t U16LEOr(size_t offset, uint16_t fallback = 0) const {
        uint16_t v = fallback;
        U16LE(offset, &v);
        return v;
    }
    uint16_t U16BEOr(size_t offset, uint16_t fallback = 0) const {
        uint16_t v = fallback;
        U16BE(offset, &v);
        return v;
    }
    uint32_t U32LEOr(size_t offset, uint32_t fallback = 0) const {
        uint32_t v = fallback;
        U32LE(offset, &v);
        return v;
    }
    uint32_t U32BEOr(size_t offset, uint32_t fallback = 0) const {
        uint32_t v = fallback;
        U32BE(offset, &v);
        return v;
    }

private:
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
};

// Writes into a destination of fixed size (a record, a request payload); never grows it.
class ByteWriter {
public:
    ByteWriter(uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}
    explicit ByteWriter(std::vector<uint8_t>& bytes) : ByteWriter(bytes.data(), bytes.size()) {}

    size_t Size() const { return m_size; }
    bool Has(size_t offset, size_t count) const { return offset <= m_size && count <= m_size - offset; }

    bool U8(size_t offset, uint8_t value) {
        if (!Has(offset, 1))
            return false;
        m_data[offset] = value;
        return true;
    }
    bool U16LE(size_t offset, uint16_t value) {
        if (!Has(offset, 2))
            return false;
        m_data[offset] = uint8_t(value);
        m_data[offset + 1] = uint8_t(value >> 8);
        return true;
    }
    bool U16BE(size_t offset, uint16_t value) {
        if (!Has(offset, 2))
            return false;
        m_data[offset] = uint8_t(value >> 8);
        m_data[offset + 1] = uint8_t(value);
        return true;
    }
    bool U32LE(size_t offset, uint32_t value) {
        if (!Has(offset, 4))
            return false;
        for (int i = 0; i < 4; ++i)
            m_data[offset + i] = uint8_t(value >> (8 * i));
        return true;
    }
    bool U32BE(size_t offset, uint32_t value) {
        if (!Has(offset, 4))
            return false;
        for (int i = 0; i < 4; ++i)
            m_data[offset + i] = uint8_t(value >> (8 * (3 - i)));
        return true;
    }
    bool Bytes(size_t offset, const uint8_t* bytes, size_t count) {
        if (!Has(offset, count))
            return false;
        if (count)
            std::memcpy(m_data + offset, bytes, count);
        return true;
    }
    // A text into a fixed field of count bytes, cut to the field and zero-padded.
    bool Text(size_t offset, size_t count, const std::string& text) {
        if (!Has(offset, count))
            return false;
        const size_t n = text.size() < count ? text.size() : count;
        std::memcpy(m_data + offset, text.data(), n);
        std::memset(m_data + offset + n, 0, count - n);
        return true;
    }

private:
    uint8_t* m_data;
    size_t m_size;
};

// Appends to a growing buffer (requests and files built front to back).
class ByteAppender {
public:
    explicit ByteAppender(std::vector<uint8_t>& out) : m_out(out) {}
    void U8(uint8_t v) { m_out.push_back(v); }
    void U16LE(uint16_t v) {
        m_out.push_back(uint8_t(v));
        m_out.push_back(uint8_t(v >> 8));
    }
    void U16BE(uint16_t v) {
        m_out.push_back(uint8_t(v >> 8));
        m_out.push_back(uint8_t(v));
    }
    void U32LE(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            m_out.push_back(uint8_t(v >> (8 * i)));
    }
    void U32BE(uint32_t v) {
        for (int i = 3; i >= 0; --i)
            m_out.push_back(uint8_t(v >> (8 * i)));
    }
    void Bytes(const uint8_t* p, size_t n) { m_out.insert(m_out.end(), p, p + n); }

private:
    std::vector<uint8_t>& m_out;
};

}  // namespace nms

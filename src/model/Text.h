#pragma once
// TText: the radio image, the radio's whole programmable memory as 17927 bytes. A new image
// holds the built-in defaults (InitImage). The clone protocol moves it in 32-byte blocks,
// block b at BlockOffset(b); the data file is this image byte for byte.

#include "model/U_Const.h"

#include <array>

class TText {
public:
    static constexpr mv53::ImageOffset kImageSize = mv53::kImageSize;
    using Bytes = std::array<mv53::Byte, static_cast<size_t>(kImageSize)>;

    TText();

    mv53::Byte* Data() { return m_bytes.data(); }
    const mv53::Byte* Data() const { return m_bytes.data(); }
    static constexpr mv53::ImageOffset Size() { return kImageSize; }
    Bytes& Raw() { return m_bytes; }
    const Bytes& Raw() const { return m_bytes; }

    // No range check; callers keep to 0..kImageSize-1.
    mv53::Byte& operator[](mv53::ImageOffset offset) { return m_bytes[static_cast<size_t>(offset)]; }
    mv53::Byte operator[](mv53::ImageOffset offset) const { return m_bytes[static_cast<size_t>(offset)]; }

    // First byte of clone block b (0..559).
    mv53::Byte* Block(mv53::BlockNo b) { return m_bytes.data() + mv53::BlockOffset(b); }
    const mv53::Byte* Block(mv53::BlockNo b) const { return m_bytes.data() + mv53::BlockOffset(b); }

    void Assign(const TText& source) { m_bytes = source.m_bytes; }
    bool Equals(const TText& other) const { return m_bytes == other.m_bytes; }

private:
    Bytes m_bytes{};
};

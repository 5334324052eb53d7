#include "service/U_Decrypt.h"

namespace mv53::fw {

char TDecrypt::Next(char c)
{
    const Byte plain = static_cast<Byte>(static_cast<Byte>(c) - m_key[m_position]);
    m_position = (m_position + 1) % kKeySize;
    return static_cast<char>(plain);
}

std::string TDecrypt::Line(const std::string& scrambled)
{
    std::string out;
    out.reserve(scrambled.size());
    std::size_t from = 0;
    if (scrambled.rfind("VS", 0) == 0) {
        out = "S0";
        from = 2;
    }
    for (std::size_t i = from; i < scrambled.size(); ++i)
        out.push_back(Next(scrambled[i]));
    return out;
}

}  // namespace mv53::fw

#pragma once
// A one-line progress bar on a terminal stream ("\r" redraws it); nothing is drawn when the
// stream is not a terminal, so scripts read only the command's own output.

#include <cstdio>
#include <string>

namespace mv53::cli {

class ProgressLine {
public:
    // out: the stream to draw on; enabled: whether it is a terminal; labelWidth: the label column.
    ProgressLine(std::FILE* out, bool enabled, int labelWidth) : m_out(out), m_enabled(enabled), m_labelWidth(labelWidth) {}
    ~ProgressLine() { Finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Ends the bar in progress and starts one with this label at 0.
    void Start(const std::string& label, int maximum)
    {
        Finish();
        m_label = label;
        m_maximum = maximum > 0 ? maximum : 1;
        m_last = -1;
        Show(0);
    }

    void Show(int position)
    {
        if (!m_enabled)
            return;
        const int clamped = position < 0 ? 0 : (position > m_maximum ? m_maximum : position);
        const int filled = clamped * kWidth / m_maximum;
        if (filled == m_last && clamped != m_maximum)
            return;
        m_last = filled;
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.append(static_cast<std::size_t>(kWidth - filled), '.');
        std::fprintf(m_out, "\r%-*s [%s] %3d%%", m_labelWidth, m_label.c_str(), bar.c_str(), clamped * 100 / m_maximum);
        std::fflush(m_out);
        m_open = true;
    }

    // Ends the bar's line so that a message starts on a line of its own.
    void Finish()
    {
        if (m_open)
            std::fputc('\n', m_out);
        m_open = false;
    }

private:
    static constexpr int kWidth = 40;
    std::FILE* m_out;
    bool m_enabled;
    int m_labelWidth;
    bool m_open = false;
    std::string m_label;
    int m_maximum = 1;
    int m_last = -1;
};

}  // namespace mv53::cli

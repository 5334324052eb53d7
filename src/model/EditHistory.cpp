#include "model/EditHistory.h"

namespace mv53 {

void TEditHistory::Clear(bool saved, const TMVmem& present)
{
    m_base = present;
    m_steps.clear();
    m_position = 0;
    m_saved = 0;
    m_savedReachable = saved;
}

bool TEditHistory::Record(const std::string& name, const TMVmem& before, const TMVmem& after)
{
    if (before == after)
        return false;
    if (m_savedReachable && m_saved > m_position)
        m_savedReachable = false;   // the saved state was among the undone steps
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_position), m_steps.end());
    m_steps.push_back({name, before, after});
    ++m_position;
    if (m_steps.size() > m_depth) {
        m_steps.pop_front();
        --m_position;
        if (m_saved == 0)
            m_savedReachable = false;
        else
            --m_saved;
    }
    return true;
}

std::string TEditHistory::UndoName() const { return CanUndo() ? m_steps[m_position - 1].Name : std::string(); }

std::string TEditHistory::RedoName() const { return CanRedo() ? m_steps[m_position].Name : std::string(); }

const TMVmem* TEditHistory::Undo()
{
    if (!CanUndo())
        return nullptr;
    return &m_steps[--m_position].Before;
}

const TMVmem* TEditHistory::Redo()
{
    if (!CanRedo())
        return nullptr;
    return &m_steps[m_position++].After;
}

const TMVmem& TEditHistory::Present() const
{
    if (m_position > 0)
        return m_steps[m_position - 1].After;
    return m_steps.empty() ? m_base : m_steps.front().Before;
}

void TEditHistory::MarkSaved(const TMVmem& present)
{
    if (m_position > 0)
        m_steps[m_position - 1].After = present;
    if (m_position < m_steps.size())
        m_steps[m_position].Before = present;
    if (m_steps.empty())
        m_base = present;
    m_saved = m_position;
    m_savedReachable = true;
}

}  // namespace mv53

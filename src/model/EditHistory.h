#pragma once
// The undo history of a document: each step is one named edit ("Paste", "Insert Channel",
// "Import Channels", ...) with the whole records before and after it, so that undo and redo
// put back exactly what was there. The history remembers which state was last saved, so that
// undoing back to it makes the data unmodified again and redoing away from it modified.

#include "model/MVmem.h"

#include <cstddef>
#include <deque>
#include <string>

namespace mv53 {

class TEditHistory {
public:
    static constexpr std::size_t kDefaultDepth = 100;
    explicit TEditHistory(std::size_t depth = kDefaultDepth) : m_depth(depth == 0 ? 1 : depth) {}

    // A fresh history (New, Open, Upload) on the present records: no steps; saved tells
    // whether they are those of the file.
    void Clear(bool saved, const TMVmem& present);
    // One edit that changed the records from before to after; the steps that were undone are
    // dropped. An edit that changed nothing is no step (false).
    bool Record(const std::string& name, const TMVmem& before, const TMVmem& after);

    bool CanUndo() const { return m_position > 0; }
    bool CanRedo() const { return m_position < m_steps.size(); }
    // The name of the step that Undo or Redo would take back or again; empty when there is none.
    std::string UndoName() const;
    std::string RedoName() const;
    // The records as they were before the last step (Undo) or after the next (Redo); nullptr
    // when there is no such step.
    const TMVmem* Undo();
    const TMVmem* Redo();

    // The records as the history last left them: after the last step done, before the first
    // undone one, or those it was cleared on.
    const TMVmem& Present() const;

    // The present records were just saved (as read back from the file, which stand for the
    // records the history last left).
    void MarkSaved(const TMVmem& present);
    // Whether the present records differ from the last saved state (or there is none).
    bool Modified() const { return !m_savedReachable || m_saved != m_position; }

private:
    struct TStep {
        std::string Name;
        TMVmem Before;
        TMVmem After;
    };
    TMVmem m_base;
    std::deque<TStep> m_steps;
    std::size_t m_position = 0;   // steps done; m_steps[m_position - 1] is the last
    std::size_t m_saved = 0;      // steps done when the records were saved
    bool m_savedReachable = true;
    std::size_t m_depth;
};

}  // namespace mv53

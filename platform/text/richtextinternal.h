#pragma once

// What the rooms of the rich text control share and nothing else sees.

#include "platform/text/richtextbox.h"

namespace platform {

// The engine's notices before each insertion and deletion are the only ones
// subscribed to. Those after them would also run QScintilla's own
// accessibility code, which counts the characters from the start of the
// document on every change, screen reader or not.
constexpr int kContentChanges =
    QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE;

using Sci = QsciScintillaBase;

// SendScintilla returns the engine's pointers as integers.
template <typename T> T* asPointer(long value)
{
    return reinterpret_cast<T*>(value); // NOLINT(performance-no-int-to-ptr)
}

// Collects the engine's change notifications during one operation, so that
// Change is raised once for it.
class RichTextBox::ChangeBatch
{
public:
    explicit ChangeBatch(RichTextBox& box) : m_box(box) { ++m_box.m_batchDepth; }
    ~ChangeBatch()
    {
        if (--m_box.m_batchDepth == 0 && m_box.m_changePending) {
            m_box.m_changePending = false;
            emit m_box.Change();
        }
    }
    ChangeBatch(const ChangeBatch&) = delete;
    ChangeBatch& operator=(const ChangeBatch&) = delete;

private:
    RichTextBox& m_box;
};

// Marks an edit whose lines were checked before it was made, or a Text
// write, which is not held to kMaxLineLength: the engine's last guard, which
// cannot see the text that it is asked to insert, stays out of its way.
class RichTextBox::CheckedEdit
{
public:
    explicit CheckedEdit(RichTextBox& box) : m_box(box), m_was(box.m_checked)
    {
        m_box.m_checked = true;
    }
    ~CheckedEdit() { m_box.m_checked = m_was; }
    CheckedEdit(const CheckedEdit&) = delete;
    CheckedEdit& operator=(const CheckedEdit&) = delete;

private:
    RichTextBox& m_box;
    bool m_was;
};

} // namespace platform

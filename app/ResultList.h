// CResultList: the result log. Each step of a run adds one line; a status
// word "OK!" or "FAILED!" at the end of a step's text moves behind a tab, so
// that the status words stand in one column at the log's tab stop.
#pragma once

#include "Framework.h"

class CResultList : public CListBox {
    DECLARE_DYNAMIC(CResultList)
public:
    ~CResultList() override;

    // Adds the reshaped line at the end and selects it, which also scrolls it
    // into view.
    void AddLine(CString strText);

    // The line for a text: the text before its first "OK!" (or, when it has
    // none, before its first "FAILED!"), a tab, then the status word; what
    // follows the status word is dropped. A text without either is unchanged.
    static CString ShapeLine(const CString& strText);

protected:
    DECLARE_MESSAGE_MAP()
};

// Runs a test inside a dialog's modal loop: the body runs once the dialog has
// initialised and got its focus, as the first message the loop dispatches.
// Then the dialog ends with IDABORT, unless a message that the body posted
// (a key, a click) has ended it first: the end is posted behind them.
#pragma once

#include "Framework.h"
#include "TestApp.h"

#include <gtest/gtest.h>

#include <functional>

template <class TDialog>
class CDialogProbe : public TDialog {
public:
    using Body = std::function<void()>;

    // DoModal's result.
    INT_PTR Run(Body body)
    {
        TestApp(); // the framework's application object must exist
        m_body = std::move(body);
        m_bodyRan = false;
        const INT_PTR result = this->DoModal();
        if (!m_bodyRan)
            ADD_FAILURE() << "the dialog ended before it ran the test (DoModal gave " << result << ")";
        return result;
    }

    BOOL OnInitDialog() override
    {
        const BOOL result = TDialog::OnInitDialog();
        ::PostMessageA(this->m_hWnd, kRunBody, 0, 0);
        return result;
    }

    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (nMsg == kRunBody) {
            Body body = std::move(m_body);
            m_body = nullptr;
            m_bodyRan = true;
            if (body)
                body();
            ::PostMessageA(this->m_hWnd, kEnd, 0, 0);
        } else if (nMsg == kEnd) {
            this->EndDialog(IDABORT);
        } else {
            return TDialog::OnWndMsg(nMsg, wParam, lParam, pResult);
        }
        *pResult = 0;
        return true;
    }

private:
    static const UINT kRunBody = WM_APP + 0x0B0D;
    static const UINT kEnd = WM_APP + 0x0B0E;
    Body m_body;
    bool m_bodyRan = false;
};

#include "ResultList.h"

IMPLEMENT_DYNAMIC(CResultList, CListBox)

BEGIN_MESSAGE_MAP(CResultList, CListBox)
END_MESSAGE_MAP()

CResultList::~CResultList() = default;

CString CResultList::ShapeLine(const CString& strText)
{
    for (LPCSTR status : {"OK!", "FAILED!"}) {
        const int pos = strText.Find(status);
        if (pos >= 0)
            return strText.Left(pos) + "\t" + status;
    }
    return strText;
}

void CResultList::AddLine(CString strText)
{
    // The add's result goes to the selection unchanged: a line the list
    // could not take selects nothing.
    SetCurSel(AddString(ShapeLine(strText)));
}

// The picture chooser of the paper dialog: the toolkit's file dialog with a translucent preview
// of the picture whose row was tapped, placed beside that row inside the file list.
//
//     GImageFileDlg dlg(1, folder, kImageFileFilter);
//     dlg.SetTitle(1, GetLangText(82), ApplyHires(26));
//     if (dlg.DoModal(parent, 0) == 1) use(dlg.GetPathName(), dlg.GetCurPath());
#pragma once

#include "scribbo/GThumbnailWnd.h"
#include "winza/GFileDialog.h"

inline constexpr WCHAR kImageFileFilter[] =
    u"Bitmap Files|*.bmp|GIF Files|*.gif|JPEG Files|*.jpg;*.jpeg|All Image Files|"
    u"*.bmp;*.gif;*.jpg;*.jpeg||";

class GImageFileDlg : public GFileDialog {
public:
    GImageFileDlg(int open, LPCWSTR folder, LPCWSTR filter);
    ~GImageFileDlg() override;

    LPCWSTR GetClassNameW() override { return u"GImageFileDlg"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // A reload hides the preview.
    void ReloadFolder() override;

    GThumbnailWnd* GetThumbnail() { return &m_thumbnail; }
    // The list position of the row whose preview shows (null for none).
    POSITION GetShownRow() const { return m_posShown; }
    // Where the preview of a picture of that size goes for a touch at a list point: inside the
    // list window, beside the touched row (screen coordinates).
    RECT PlaceThumbnail(POINT listPoint, int pictureWidth, int pictureHeight);

protected:
    void OnTouched(POSITION pos, int listId);
    void HideThumbnail();

    GThumbnailWnd m_thumbnail;
    int m_nThumbWidth;
    POSITION m_posShown = nullptr;
};

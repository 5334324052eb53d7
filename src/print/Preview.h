#pragma once
// TfrmPreview: the user report's pages on screen, one or two at a time, at three zoom levels
// (whole page, 80 %, full size), with page navigation and click-to-zoom. While it is open the
// main window is hidden; when it closes the main window takes its place and size.

#include "print/PrintImage.h"
#include "state/U_Global.h"

#include <QCursor>
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QSize>

#include <vector>

class QPushButton;
class QScrollArea;

// One page image of the preview: a white canvas of its own size that a page bitmap is drawn on.
class TPageImage final : public QWidget {
    Q_OBJECT
public:
    explicit TPageImage(QWidget* parent);
    void SetCanvasSize(QSize size);
    void Clear();
    QImage& Canvas() { return m_canvas; }
    const QImage& Canvas() const { return m_canvas; }

Q_SIGNALS:
    void Pressed(QPoint pos);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage m_canvas;
};

class TfrmPreview final : public QDialog {
    Q_OBJECT
public:
    // Makes the pages of the user report of state. mainWindow (may be null) is hidden while
    // the preview is shown and takes its geometry when it closes; the preview starts with its
    // caption and size.
    TfrmPreview(TProgramState& state, QWidget* mainWindow);
    ~TfrmPreview() override;

    QPushButton* btnClose = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnPrev = nullptr;
    QPushButton* btnPageCount = nullptr;
    QPushButton* btnZoomIn = nullptr;
    QPushButton* btnZoomOut = nullptr;
    QPushButton* btnPrint = nullptr;
    QScrollArea* pnlBase = nullptr;
    TPageImage* imgPage1 = nullptr;
    TPageImage* imgPage2 = nullptr;

    int Zoom() const { return m_zoom; }
    int PageIndex() const { return m_page; }
    int PageCount() const { return static_cast<int>(m_bitmaps.size()); }
    bool TwoPage() const { return m_twoPage; }
    QSize PageSize() const { return m_pageSize; }
    const QImage& PageBitmap(int i) const { return m_bitmaps[static_cast<size_t>(i)]; }
    const QCursor& MagnifierCursor() const { return m_magnifier; }

    void NextPage();
    void PreviousPage();
    void TogglePageCount();
    void ZoomIn();
    void ZoomOut();
    void Print();
    // A press on page image 1 at pos: next zoom level, centred on the pressed point.
    void ClickZoom(QPoint pos);

    // The two-page choice kept between previews of one run.
    static void ForgetTwoPageChoice();

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void done(int result) override;

private:
    void LayOut();
    void Draw();
    void UpdateButtons();
    void SetPageCountCaption();

    TProgramState& m_state;
    QPointer<QWidget> m_main;
    TPrtImg m_report;
    std::vector<QImage> m_bitmaps;
    QSize m_pageSize;
    QWidget* m_content = nullptr;
    int m_zoom = -1;
    int m_page = 0;
    bool m_twoPage = false;
    bool m_mainRestored = false;
    QCursor m_savedCursor;
    QCursor m_magnifier;
};

inline constexpr int kPreviewMinWidth = 817;
inline constexpr int kPreviewMinHeight = 565;

#include "print/Preview.h"

#include "print/CurrentPrinter.h"
#include "print/PrintJob.h"
#include "print/PrinterSetup.h"
#include "print/ReportPainter.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The two-page choice of the last preview of this run.
bool g_twoPage = false;

constexpr int kGap = 10;       // between the pages and around them
constexpr int kOffsetX = 40;   // where a page bitmap starts on its image (at full size)
constexpr int kOffsetY = 20;

const char* const kOnePage = "&One Page";
const char* const kTwoPage = "&Two Page";

// Rounding of the layout: to the nearest integer, halves away from zero.
int Round(double v) { return static_cast<int>(std::lround(v)); }

QCursor MakeMagnifier()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 5));
    p.drawEllipse(QRectF(3, 3, 17, 17));
    p.drawLine(QPointF(18, 18), QPointF(28, 28));
    p.setPen(QPen(Qt::black, 2.5));
    p.drawEllipse(QRectF(3, 3, 17, 17));
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(28, 28));
    p.end();
    return QCursor(pixmap, 11, 11);
}

}  // namespace

// ---- page image -------------------------------------------------------------------------------

TPageImage::TPageImage(QWidget* parent) : QWidget(parent) {}

void TPageImage::SetCanvasSize(QSize size)
{
    if (m_canvas.size() != size)
        m_canvas = QImage(size, QImage::Format_RGB32);
    resize(size);
}

void TPageImage::Clear()
{
    m_canvas.fill(Qt::white);
    update();
}

void TPageImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_canvas);
}

void TPageImage::mousePressEvent(QMouseEvent* e)
{
    Q_EMIT Pressed(e->position().toPoint());
    QWidget::mousePressEvent(e);
}

// ---- preview ----------------------------------------------------------------------------------

TfrmPreview::TfrmPreview(TProgramState& state, QWidget* mainWindow)
    : QDialog(nullptr), m_state(state), m_main(mainWindow), m_report(mv53::BuildUserReport(state))
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setMinimumSize(kPreviewMinWidth, kPreviewMinHeight);
    if (mainWindow) {
        setWindowTitle(mainWindow->windowTitle());
        resize(std::max(mainWindow->width(), kPreviewMinWidth), std::max(mainWindow->height(), kPreviewMinHeight));
    }

    auto button = [this](const char* text, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    btnClose = button("&Close", "btnClose");
    btnNext = button("&Next Page", "btnNext");
    btnPrev = button("Pre&vies Page", "btnPrev");
    btnPageCount = button(kTwoPage, "btnPageCount");
    btnZoomIn = button("Zoom &In", "btnZoomIn");
    btnZoomOut = button("Zoom &Out", "btnZoomOut");
    btnPrint = button("&Print", "btnPrint");

    pnlBase = new QScrollArea(this);
    pnlBase->setObjectName(QStringLiteral("pnlBase"));
    pnlBase->setWidgetResizable(false);
    pnlBase->setBackgroundRole(QPalette::Dark);
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("pnlPages"));
    imgPage1 = new TPageImage(m_content);
    imgPage1->setObjectName(QStringLiteral("imgPage1"));
    imgPage2 = new TPageImage(m_content);
    imgPage2->setObjectName(QStringLiteral("imgPage2"));
    pnlBase->setWidget(m_content);

    auto* top = new QHBoxLayout;
    for (QPushButton* b : {btnClose, btnNext, btnPrev, btnPageCount, btnZoomIn, btnZoomOut, btnPrint})
        top->addWidget(b);
    top->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(pnlBase, 1);

    // The pages are made once, now; a later change of the sections does not change them.
    m_pageSize = mv53::PreviewPageSize(mv53::TCurrentPrinter::Instance().PageSizeIndex());
    m_bitmaps = mv53::MakePreviewBitmaps(m_report, mv53::TCurrentPrinter::Instance().PageSizeIndex());
    imgPage1->SetCanvasSize(m_pageSize);
    imgPage2->SetCanvasSize(m_pageSize);
    imgPage1->Clear();
    imgPage2->Clear();
    m_savedCursor = cursor();
    m_magnifier = MakeMagnifier();

    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnNext, &QPushButton::clicked, this, &TfrmPreview::NextPage);
    connect(btnPrev, &QPushButton::clicked, this, &TfrmPreview::PreviousPage);
    connect(btnPageCount, &QPushButton::clicked, this, &TfrmPreview::TogglePageCount);
    connect(btnZoomIn, &QPushButton::clicked, this, &TfrmPreview::ZoomIn);
    connect(btnZoomOut, &QPushButton::clicked, this, &TfrmPreview::ZoomOut);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmPreview::Print);
    connect(imgPage1, &TPageImage::Pressed, this, &TfrmPreview::ClickZoom);
}

TfrmPreview::~TfrmPreview()
{
    if (!m_mainRestored)
        done(QDialog::Rejected);
}

void TfrmPreview::ForgetTwoPageChoice() { g_twoPage = false; }

void TfrmPreview::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (m_zoom >= 0)
        return;
    if (m_main)
        m_main->hide();
    m_zoom = 0;
    m_page = 0;
    m_twoPage = g_twoPage;
    SetPageCountCaption();
    UpdateButtons();
    LayOut();
    Draw();
}

void TfrmPreview::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (m_zoom < 0)
        return;
    LayOut();
    Draw();
}

void TfrmPreview::done(int result)
{
    if (!m_mainRestored) {
        m_mainRestored = true;
        g_twoPage = m_twoPage;
        if (m_main) {
            m_main->setGeometry(geometry());
            m_main->setWindowState(windowState());
            m_main->show();
        }
    }
    QDialog::done(result);
}

void TfrmPreview::SetPageCountCaption() { btnPageCount->setText(QString::fromLatin1(m_twoPage ? kOnePage : kTwoPage)); }

void TfrmPreview::UpdateButtons()
{
    btnZoomIn->setEnabled(m_zoom < 2);
    btnZoomOut->setEnabled(m_zoom > 0);
    btnNext->setEnabled(m_page < PageCount() - 1);
    btnPrev->setEnabled(m_page > 0);
    btnPageCount->setEnabled(m_zoom == 0);
}

void TfrmPreview::LayOut()
{
    const int W = m_pageSize.width();
    const int H = m_pageSize.height();
    const int frame = 2 * pnlBase->frameWidth();
    const int boxW = pnlBase->width() - frame;
    const int boxH = pnlBase->height() - frame;
    const int barW = pnlBase->verticalScrollBar()->sizeHint().width();
    const int barH = pnlBase->horizontalScrollBar()->sizeHint().height();
    int w = 0;
    int h = 0;
    int left = 0;
    if (m_zoom <= 0) {
        pnlBase->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pnlBase->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // As high as the box less the gaps, unless the page (or both pages with the gap
        // between them) would then be wider than the box: whole pages at this zoom.
        const int pages = m_twoPage ? 2 : 1;
        const int roomW = (boxW - (pages + 1) * kGap) / pages;
        h = std::max(std::min(boxH - 2 * kGap, H * roomW / W), 1);
        w = std::max(W * h / H, 1);
        imgPage1->SetCanvasSize({w, h});
        imgPage2->SetCanvasSize({w, h});
        m_content->resize(std::max(boxW, 1), std::max(boxH, 1));
        if (m_twoPage) {
            left = (boxW - 2 * w - kGap) / 2;
            imgPage2->move(left + w + kGap, kGap);
            imgPage2->show();
        } else {
            left = (boxW - w) / 2;
            imgPage2->hide();
        }
        imgPage1->move(left, kGap);
        pnlBase->horizontalScrollBar()->setValue(0);
        pnlBase->verticalScrollBar()->setValue(0);
    } else {
        if (m_zoom == 1) {
            w = W * 8 / 10;
            h = H * 8 / 10;
            left = (boxW - w) / 2;
            pnlBase->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        } else {
            w = W;
            h = H;
            left = (boxW - w) / 2;
            if (left < 11)
                left = kGap;
            pnlBase->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        }
        pnlBase->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        imgPage2->hide();
        imgPage1->SetCanvasSize({w, h});
        imgPage1->move(left, kGap);
        const int viewW = boxW - barW;
        const int viewH = boxH - (m_zoom == 2 ? barH : 0);
        m_content->resize(std::max({w + 2 * kGap, viewW, left + w}), std::max(h + 2 * kGap, viewH));
        pnlBase->horizontalScrollBar()->setValue(0);
        pnlBase->verticalScrollBar()->setValue(0);
        if (m_zoom == 2)
            pnlBase->horizontalScrollBar()->setValue((w + 2 * kGap) / 2);
    }
    imgPage1->setCursor(m_zoom < 2 ? m_magnifier : m_savedCursor);
}

void TfrmPreview::Draw()
{
    imgPage1->Clear();
    if (PageCount() == 0) {
        imgPage2->Clear();
        return;
    }
    const int W = m_pageSize.width();
    const int H = m_pageSize.height();
    auto stretch = [&](TPageImage* image, int page) {
        const double s = static_cast<double>(imgPage1->width()) / W;
        const int l = Round(kOffsetX * s);
        const int t = Round(kOffsetY * s);
        const int r = Round((W + kOffsetX) * s);
        const int b = Round((H + kOffsetY) * s);
        QPainter p(&image->Canvas());
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(l, t, r - l, b - t), m_bitmaps[static_cast<size_t>(page)]);
        image->update();
    };
    if (m_zoom < 2) {
        stretch(imgPage1, m_page);
        imgPage2->Clear();
        if (m_page < PageCount() - 1)
            stretch(imgPage2, m_page + 1);
    } else {
        QPainter p(&imgPage1->Canvas());
        p.drawImage(QPoint(kOffsetX, kOffsetY), m_bitmaps[static_cast<size_t>(m_page)]);
        imgPage1->update();
    }
}

void TfrmPreview::NextPage()
{
    if (m_page < PageCount() - 1 && !(m_twoPage && m_zoom == 0 && m_page == PageCount() - 2))
        ++m_page;
    Draw();
    UpdateButtons();
}

void TfrmPreview::PreviousPage()
{
    if (m_page > 0) {
        --m_page;
        Draw();
    }
    UpdateButtons();
}

void TfrmPreview::TogglePageCount()
{
    m_twoPage = !m_twoPage;
    SetPageCountCaption();
    LayOut();
    Draw();
    UpdateButtons();
}

void TfrmPreview::ZoomIn()
{
    if (m_zoom < 2)
        ++m_zoom;
    LayOut();
    Draw();
    UpdateButtons();
}

void TfrmPreview::ZoomOut()
{
    if (m_zoom > 0)
        --m_zoom;
    LayOut();
    Draw();
    UpdateButtons();
}

void TfrmPreview::ClickZoom(QPoint pos)
{
    const double rx = static_cast<double>(pos.x()) / std::max(imgPage1->width(), 1);
    const double ry = static_cast<double>(pos.y()) / std::max(imgPage1->height(), 1);
    m_zoom = (m_zoom + 1) % 3;
    LayOut();
    Draw();
    const int boxW = pnlBase->width() - 2 * pnlBase->frameWidth();
    const int boxH = pnlBase->height() - 2 * pnlBase->frameWidth();
    pnlBase->horizontalScrollBar()->setValue(Round(imgPage1->width() * rx) - boxW / 2);
    pnlBase->verticalScrollBar()->setValue(Round(imgPage1->height() * ry) - boxH / 2);
    UpdateButtons();
}

void TfrmPreview::Print()
{
    if (mv53::RunPrintSetup(this, QString::fromLatin1(kPrintCaption)))
        mv53::PrintReport(m_report);
    accept();
}

#pragma once
#include <QWidget>

class QWebEngineView;

// Where the live preview is shown: the whole area, or a phone's screen of 390 x 844 CSS pixels
// in the middle of it, scaled down (never up) so the whole phone fits.
class PreviewStage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPhoneWidth = 390;
    static constexpr int kPhoneHeight = 844;

    explicit PreviewStage(QWebEngineView* view, QWidget* parent = nullptr);

    bool isPhone() const { return iPhone; }
    void setPhone(bool phone);
    // The page's viewport in CSS pixels as the view shows it now.
    QSize cssViewport() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layoutView();
    QRect phoneFrame() const;

    QWebEngineView* iView;
    bool iPhone = false;
};

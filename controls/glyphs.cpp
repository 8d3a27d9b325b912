#include "controls/glyphs.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>
#include <map>

namespace tintorel {

namespace {

// Draws into a 20 × 20 square; `ink` is the palette's text colour and
// `accent` its highlight.
using Drawing = void (*)(QPainter& painter, const QColor& ink, const QColor& accent);

class GlyphEngine : public QIconEngine {
public:
    explicit GlyphEngine(Drawing drawing) : drawing_(drawing) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QGuiApplication::palette();
        const QPalette::ColorGroup group =
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const qreal side = std::min(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2.0,
                           rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / 20.0, side / 20.0);
        drawing_(*painter, palette.color(group, QPalette::ButtonText),
                 palette.color(group, QPalette::Highlight));
        painter->restore();
    }

    // Asked for in device pixels: drawn at that size, so never scaled up.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new GlyphEngine(drawing_); }
    QString key() const override { return QStringLiteral("tintorel-glyph"); }

private:
    Drawing drawing_;
};

class PixmapFilesEngine : public QIconEngine {
public:
    explicit PixmapFilesEngine(QList<int> sizes) : sizes_(std::move(sizes)) {
        std::sort(sizes_.begin(), sizes_.end());
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    // The smallest pixmap at least as large, else the largest; scaled down
    // when it is larger.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        if (sizes_.isEmpty()) {
            return {};
        }
        const int wanted = std::max(size.width(), size.height());
        int side = sizes_.back();
        for (const int s : sizes_) {
            if (s >= wanted) {
                side = s;
                break;
            }
        }
        QPixmap& loaded = loaded_[side];
        if (loaded.isNull()) {
            loaded.load(QString(":/icons/%1.png").arg(side));
        }
        return loaded.isNull() || loaded.size() == size
                   ? loaded
                   : loaded.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int s : sizes_) {
            sizes.append(QSize(s, s));
        }
        return sizes;
    }

    QIconEngine* clone() const override { return new PixmapFilesEngine(sizes_); }
    QString key() const override { return QStringLiteral("tintorel-pixmap-files"); }

private:
    QList<int> sizes_;
    std::map<int, QPixmap> loaded_;
};

void DrawPipette(QPainter& p, const QColor& ink, const QColor& accent) {
    p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.5, 15.5), QPointF(12, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(14.5, 5.5), 3.5, 3.5);
    p.setBrush(accent);
    p.drawEllipse(QPointF(3.5, 16.5), 2, 2);
}

void DrawCog(QPainter& p, const QColor& ink, const QColor&) {
    p.translate(10, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    QPainterPath cog;
    for (int i = 0; i < 8; ++i) {
        QTransform turn;
        turn.rotate(45.0 * i);
        QPainterPath tooth;
        tooth.addRect(QRectF(-1.6, -8.5, 3.2, 4));
        cog.addPath(turn.map(tooth));
    }
    cog.addEllipse(QPointF(0, 0), 6, 6);
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 2.5, 2.5);
    // The hole shows what lies behind the button, whatever the palette.
    p.drawPath(cog.simplified().subtracted(hole));
}

} // namespace

QIcon PipetteIcon() {
    return QIcon(new GlyphEngine(DrawPipette));
}

QIcon PreferencesIcon() {
    return QIcon(new GlyphEngine(DrawCog));
}

QIcon ProgramIcon(const QList<int>& sizes) {
    return QIcon(new PixmapFilesEngine(sizes));
}

} // namespace tintorel

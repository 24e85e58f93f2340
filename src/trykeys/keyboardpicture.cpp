#include "trykeys/keyboardpicture.h"

#include "script/enginemodel.h"
#include "trykeys/keyboardlayout.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>

KeyboardPicture::KeyboardPicture(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picKeyboard"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAccessibleName(tr("Keyboard and mouse"));
}

void KeyboardPicture::setEngine(ScriptEngine engine, const ScriptVocabulary *vocabulary)
{
    engine_ = engine;
    vocabulary_ = vocabulary;
    update();
}

void KeyboardPicture::setBinds(const QHash<QString, QString> &binds)
{
    binds_ = binds;
    update();
}

void KeyboardPicture::flash(const QString &keyName)
{
    flashed_ = keyName;
    update();
    QTimer::singleShot(150, this, [this, keyName] {
        if (flashed_ == keyName) {
            flashed_.clear();
            update();
        }
    });
}

QSize KeyboardPicture::sizeHint() const
{
    const int unit = fontMetrics().height() * 2;
    return {int(KeyboardWidth() * unit), int(KeyboardHeight() * unit)};
}

QSize KeyboardPicture::minimumSizeHint() const
{
    return sizeHint() / 2;
}

double KeyboardPicture::scale() const
{
    return std::min((width() - 2) / KeyboardWidth(), (height() - 2) / KeyboardHeight());
}

QString KeyboardPicture::nameOf(int cap) const
{
    return EngineKeyName(KeyboardLayout()[cap].name, engine_);
}

QString KeyboardPicture::bindingOf(int cap) const
{
    return binding(nameOf(cap));
}

QString KeyboardPicture::binding(const QString &keyName) const
{
    if (keyName.isEmpty() || !vocabulary_)
        return {};
    return binds_.value(ReadKeyName(keyName, engine_, *vocabulary_).key);
}

QRectF KeyboardPicture::capRect(const QString &keyName) const
{
    const double unit = scale();
    const QList<KeyCap> &keys = KeyboardLayout();
    for (int i = 0; i < keys.size(); ++i) {
        if (nameOf(i) == keyName) {
            const KeyCap &k = keys[i];
            return QRectF(1 + k.x * unit, 1 + k.y * unit, k.w * unit, k.h * unit);
        }
    }
    return {};
}

int KeyboardPicture::capAt(const QPointF &point) const
{
    const double unit = scale();
    const QList<KeyCap> &keys = KeyboardLayout();
    for (int i = 0; i < keys.size(); ++i) {
        const KeyCap &k = keys[i];
        if (QRectF(1 + k.x * unit, 1 + k.y * unit, k.w * unit, k.h * unit).contains(point))
            return i;
    }
    return -1;
}

void KeyboardPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = scale();
    QFont font = painter.font();
    font.setPixelSize(std::max(7, int(unit * 0.26)));
    painter.setFont(font);
    const QList<KeyCap> &keys = KeyboardLayout();
    for (int i = 0; i < keys.size(); ++i) {
        const KeyCap &k = keys[i];
        const QRectF cap = QRectF(1 + k.x * unit, 1 + k.y * unit, k.w * unit, k.h * unit).adjusted(1.5, 1.5, -1.5, -1.5);
        const QString name = nameOf(i);
        const QString binding = bindingOf(i);
        QColor fill = palette().color(QPalette::Button);
        if (name.isEmpty())
            fill = palette().color(QPalette::Window);
        else if (name == flashed_)
            fill = palette().color(QPalette::Highlight);
        else if (binding.startsWith(u'+'))
            fill = QColor(0xF4, 0xB4, 0x5F); // held actions
        else if (!binding.isEmpty())
            fill = QColor(0x8F, 0xC4, 0xF0);
        painter.setPen(palette().color(QPalette::Mid));
        painter.setBrush(fill);
        painter.drawRoundedRect(cap, unit * 0.08, unit * 0.08);
        painter.setPen(name.isEmpty() ? palette().color(QPalette::Mid) : palette().color(QPalette::ButtonText));
        painter.drawText(cap.adjusted(2, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, k.label);
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void KeyboardPicture::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    const int cap = capAt(event->position());
    if (cap < 0 || nameOf(cap).isEmpty())
        return;
    if (event->modifiers() & Qt::ControlModifier)
        emit bindingWanted(nameOf(cap));
    else
        emit keyPressed(nameOf(cap));
}

void KeyboardPicture::wheelEvent(QWheelEvent *event)
{
    if (event->angleDelta().y() != 0 && hasFocus())
        emit keyPressed(event->angleDelta().y() > 0 ? QStringLiteral("MWHEELUP") : QStringLiteral("MWHEELDOWN"));
}

void KeyboardPicture::keyPressEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    const QString name = KeyNameForEvent(event->key(), event->modifiers(), engine_);
    if (name.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit keyPressed(name);
}

bool KeyboardPicture::event(QEvent *event)
{
    // Tab and Backtab are keys of the game here, not a way out of the picture.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int cap = capAt(help->pos());
        if (cap < 0 || nameOf(cap).isEmpty()) {
            QToolTip::hideText();
        } else {
            const QString binding = bindingOf(cap);
            QToolTip::showText(help->globalPos(),
                               binding.isEmpty() ? tr("%1: not bound").arg(nameOf(cap))
                                                 : tr("%1: %2\nClick to press it, Ctrl+click for its line")
                                                       .arg(nameOf(cap), binding),
                               this);
        }
        return true;
    }
    return QWidget::event(event);
}

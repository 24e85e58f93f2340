#pragma once
// The keys of the keyboard and the mouse, drawn to scale with every bound key coloured.
// Hovering shows a key's command; a click presses it, Ctrl+click asks for the line that
// bound it. While it has the focus, a key pressed on the real keyboard is pressed too.
#include "script/engineprofile.h"

#include <QHash>
#include <QWidget>

class ScriptVocabulary;

class KeyboardPicture : public QWidget
{
    Q_OBJECT
public:
    explicit KeyboardPicture(QWidget *parent = nullptr);

    // Names keys the engine's way; vocabulary must outlive the picture's use of it.
    void setEngine(ScriptEngine engine, const ScriptVocabulary *vocabulary);
    // The binds, by the key they name (KeyReading::key).
    void setBinds(const QHash<QString, QString> &binds);
    // Lights a key for a moment, as if pressed.
    void flash(const QString &keyName);
    // The command bound to a key named as the engine names it.
    QString binding(const QString &keyName) const;
    // The cap's rectangle in the widget, for a key named as the engine names it.
    QRectF capRect(const QString &keyName) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void keyPressed(const QString &keyName);
    void bindingWanted(const QString &keyName);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    double scale() const;
    int capAt(const QPointF &point) const;
    QString nameOf(int cap) const; // the engine's name, empty when it has none
    QString bindingOf(int cap) const;

    ScriptEngine engine_ = ScriptEngine::JediOutcast_104;
    const ScriptVocabulary *vocabulary_ = nullptr;
    QHash<QString, QString> binds_;
    QString flashed_;
};

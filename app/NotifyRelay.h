#pragma once
#include <QObject>
#include <functional>

// Receives the links' notifications, which arrive as timer events carrying
// the link's notify id, and hands the id on. Kept apart from the dialog so
// that these ids never meet the ids of Qt's own timers.
class CNotifyRelay : public QObject {
public:
    explicit CNotifyRelay(std::function<void(unsigned)> onNotify, QObject* parent = nullptr)
        : QObject(parent), m_onNotify(std::move(onNotify)) {}

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    std::function<void(unsigned)> m_onNotify;
};

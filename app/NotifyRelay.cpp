#include "app/NotifyRelay.h"

#include <QTimerEvent>

void CNotifyRelay::timerEvent(QTimerEvent* event) { m_onNotify(static_cast<unsigned>(event->timerId())); }

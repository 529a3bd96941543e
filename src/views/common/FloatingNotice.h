#pragma once

#include "views/common/LiveStatus.h"

class QTimer;

// A short notice that floats over the lower middle of its parent for two seconds and is spoken as
// it appears: "已复制" after every copy, wherever the copy was made.
class FloatingNotice : public LiveStatus {
    Q_OBJECT

public:
    static constexpr int shownMs = 2000;

    explicit FloatingNotice(QWidget* parent);

    // Shows `text`, spoken also when it repeats the last one (a second copy).
    void flash(const QString& text);

private:
    QTimer* m_timer;
};

#include "ui/qt/RunWindowProxy.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>

namespace kestrova {

RunWindowProxy::RunWindowProxy(SyncWindow& window, QObject* context)
    : m_window(window), m_context(context), m_shared(std::make_shared<Shared>()) {}

void RunWindowProxy::release() {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->released = true;
    }
    m_shared->answered.notify_all();
}

template <class Result>
Result RunWindowProxy::ask(Result fallback, std::function<Result()> request) {
    struct Reply {
        bool done = false;
        Result value;
    };
    auto reply = std::make_shared<Reply>(Reply{false, fallback});
    const std::shared_ptr<Shared> shared = m_shared;
    {
        std::lock_guard lock(shared->mutex);
        if (shared->released) {
            return fallback;
        }
    }
    // The context is the window: a request still queued when it is destroyed is dropped,
    // and the window releases the proxy before that.
    QMetaObject::invokeMethod(
        m_context,
        [&window = m_window, context = m_context, shared, reply, request = std::move(request)] {
            {
                std::lock_guard lock(shared->mutex);
                if (shared->released) {
                    return;
                }
            }
            // A status line still waiting is shown first, so effects keep their order.
            showStatus(window, context, shared, true);
            Result value = request();
            {
                std::lock_guard lock(shared->mutex);
                reply->value = std::move(value);
                reply->done = true;
            }
            shared->answered.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(shared->mutex);
    shared->answered.wait(lock, [&] { return reply->done || shared->released; });
    return reply->done ? reply->value : fallback;
}

void RunWindowProxy::tell(std::function<void()> request) {
    ask<bool>(false, [request = std::move(request)] {
        request();
        return true;
    });
}

int RunWindowProxy::rowCount() {
    return ask<int>(0, [&window = m_window] { return window.rowCount(); });
}

// A released run reads every row as unchecked, so it starts no further pair.
int RunWindowProxy::rowCheckState(int row) {
    return ask<int>(1, [&window = m_window, row] { return window.rowCheckState(row); });
}

std::string RunWindowProxy::rowSource(int row) {
    return ask<std::string>({}, [&window = m_window, row] { return window.rowSource(row); });
}

std::string RunWindowProxy::rowTarget(int row) {
    return ask<std::string>({}, [&window = m_window, row] { return window.rowTarget(row); });
}

void RunWindowProxy::setRowStatus(int row, const std::string& text) {
    tell([&window = m_window, row, text] { window.setRowStatus(row, text); });
}

void RunWindowProxy::setStatusLine(const std::string& text) {
    const std::shared_ptr<Shared> shared = m_shared;
    {
        std::lock_guard lock(shared->mutex);
        if (shared->released) {
            return;
        }
        shared->latestStatus = text;
        if (shared->statusQueued) {
            return;
        }
        shared->statusQueued = true;
    }
    QMetaObject::invokeMethod(
        m_context,
        [&window = m_window, context = m_context, shared] {
            showStatus(window, context, shared, false);
        },
        Qt::QueuedConnection);
}

void RunWindowProxy::showStatus(SyncWindow& window, QObject* context,
                                const std::shared_ptr<Shared>& shared, bool now) {
    const auto at = std::chrono::steady_clock::now();
    std::string latest;
    {
        std::lock_guard lock(shared->mutex);
        if (!shared->statusQueued || shared->released) {
            return;
        }
        const auto due = shared->statusShownAt + kStatusInterval;
        if (!now && at < due) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - at);
            QTimer::singleShot(wait, context, [&window, context, shared] {
                showStatus(window, context, shared, false);
            });
            return;
        }
        shared->statusQueued = false;
        latest = shared->latestStatus;
    }
    shared->statusShownAt = at;
    window.setStatusLine(latest);
}

void RunWindowProxy::setReport(const std::string& text) {
    tell([&window = m_window, text] { window.setReport(text); });
}

bool RunWindowProxy::deleteOption() {
    return ask<bool>(false, [&window = m_window] { return window.deleteOption(); });
}

void RunWindowProxy::enableStart(bool enabled) {
    tell([&window = m_window, enabled] { window.enableStart(enabled); });
}

void RunWindowProxy::enableStop(bool enabled) {
    tell([&window = m_window, enabled] { window.enableStop(enabled); });
}

void RunWindowProxy::enableDeleteOption(bool enabled) {
    tell([&window = m_window, enabled] { window.enableDeleteOption(enabled); });
}

void RunWindowProxy::messageBox(const std::string& text) {
    tell([&window = m_window, text] { window.messageBox(text); });
}

void RunWindowProxy::entryFailed(const std::string& path, const EntryFailure& failure) {
    tell([&window = m_window, path, failure] { window.entryFailed(path, failure); });
}

RunOptions RunWindowProxy::runOptions() {
    RunOptions released;
    released.preview = true;
    return ask<RunOptions>(released, [&window = m_window] { return window.runOptions(); });
}

} // namespace kestrova

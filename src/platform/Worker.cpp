#include "platform/Worker.h"

#include "platform/Guard.h"

#include <QThread>
#include <exception>
#include <utility>

Worker::~Worker() {
    if (thread_) {
        thread_->wait();
        delete thread_;
    }
}

bool Worker::Start(std::function<void(const Progress&)> task, std::function<void()> finished) {
    return Launch([task = std::move(task), finished = std::move(finished)](
                      const Progress& progress) -> std::function<void()> {
        task(progress);
        return finished;
    });
}

bool Worker::Launch(Task task) {
    if (Busy())
        return false;
    thread_ = QThread::create([this, task = std::move(task)] {
        const Progress progress = [this](const QString& step, int done, int count) {
            emit Progressed(step, done, count);
        };
        try {
            then_ = task(progress);
        } catch (...) {
            then_ = [failure = std::current_exception()] { std::rethrow_exception(failure); };
        }
    });
    // Queued to this object's thread, after every progress the task reported.
    connect(thread_, &QThread::finished, this, &Worker::Ended);
    emit BusyChanged(true);
    thread_->start();
    return true;
}

void Worker::Ended() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    const std::function<void()> then = std::exchange(then_, {});
    emit BusyChanged(false);
    if (then)
        RunGuarded(then);
}

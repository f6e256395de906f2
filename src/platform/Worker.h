#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QThread;

// Long work (a backup, a compaction, an export) away from the GUI thread, one task at a time, so
// that the windows keep painting and answering while it runs. The task reports its progress,
// and its end reaches the GUI thread as a plain call: the result, or the task's failure told
// once, as any handler's is.
class Worker : public QObject {
    Q_OBJECT

public:
    // Called from the task's thread: the step (a file, a card) and how many of count are done.
    using Progress = std::function<void(const QString& step, int done, int count)>;

    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    // Waits for a task still running: it holds files and connections that go with the program.
    ~Worker() override;

    // False, and nothing started, while another task runs. `finished` runs on the GUI thread.
    template <typename Result>
    bool Start(std::function<Result(const Progress&)> task, std::function<void(Result)> finished) {
        return Launch([task = std::move(task), finished = std::move(finished)](
                          const Progress& progress) -> std::function<void()> {
            auto result = std::make_shared<Result>(task(progress));
            return [finished, result] { finished(std::move(*result)); };
        });
    }
    bool Start(std::function<void(const Progress&)> task, std::function<void()> finished);

    bool Busy() const { return thread_ != nullptr; }

signals:
    void Progressed(const QString& step, int done, int count);
    void BusyChanged(bool busy);

private:
    // The task answers what the GUI thread does once it has ended.
    using Task = std::function<std::function<void()>(const Progress&)>;
    bool Launch(Task task);
    void Ended();

    QThread* thread_ = nullptr;
    std::function<void()> then_;
};

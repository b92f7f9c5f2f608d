// Runs the sampling cycle in the program: owns SampleTimer (a precise QTimer whose period, 1000 ms or 0,
// is the running or paused state) and the tick, and applies worker results to the ResultsModel.
// UI thread only. Workers never touch it: their results are posted to it as values, and a result that
// arrives after it has been destroyed is discarded without touching freed memory.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string_view>

#include "app/results_model.h"
#include "monitor/sampler.h"
#include "monitor/targets.h"

namespace tarvelin {

class SamplingController : public QObject {
    Q_OBJECT

  public:
    using Probe = tarvelin::Probe;  // int(std::string_view host, int timeoutMs); default: PingHost

    SamplingController(TargetList& targets, ResultsModel& model, QObject* parent = nullptr);
    ~SamplingController() override;

    // 1000 or 0: a negative value counts as 0; writing the current value changes nothing (the phase is
    // kept); a start puts the first tick one period later.
    void SetPeriod(int ms);
    int Period() const;     // 1000 running, 0 paused
    void ToggleSampling();  // the command of "开始/暂停(&S)"

    // Seams for tests.
    void SetProbe(Probe probe);
    void SetThreadStarter(ThreadStarter starter);
    void SetLocalClock(Sampler::LocalClock clock);
    const QTimer& Timer() const { return m_sampleTimer; }

  public slots:
    // One tick of SampleTimer; also callable directly.
    void SampleTick();

  signals:
    // A worker's result has been applied to (or, its row or column being gone, dropped by) the model.
    void ResultDelivered(qint64 rowSerial, quint64 target, int ms);

  private:
    struct Port;
    void Deliver(const SampleResult& result);

    QPointer<ResultsModel> m_model;
    QTimer m_sampleTimer;
    std::shared_ptr<Port> m_port;
    Sampler m_sampler;
};

}  // namespace tarvelin

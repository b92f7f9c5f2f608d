#include "app/sampling_controller.h"

#include <QMetaObject>
#include <mutex>

namespace tarvelin {

// Where workers post their results. Workers share it with the controller; the controller's destructor
// cuts the link under the lock, so a worker either posts before the controller starts to go (and the
// posted call dies with the controller's pending events) or sees no receiver and drops its result.
struct SamplingController::Port {
    std::mutex mutex;
    SamplingController* receiver = nullptr;  // GUARDED_BY(mutex)

    void Post(const SampleResult& result) {
        const std::lock_guard lock(mutex);
        if (receiver == nullptr) return;
        // Queued: the worker only posts an event and goes on; it never waits on the UI thread.
        QMetaObject::invokeMethod(
            receiver, [target = receiver, result] { target->Deliver(result); }, Qt::QueuedConnection);
    }
};

SamplingController::SamplingController(TargetList& targets, ResultsModel& model, QObject* parent)
    : QObject(parent),
      m_model(&model),
      m_port(std::make_shared<Port>()),
      m_sampler(
          targets, [this](const DateTime& when) -> RowSerial { return m_model ? m_model->InsertTopRow(when) : 0; },
          [port = m_port](const SampleResult& result) { port->Post(result); }) {
    m_port->receiver = this;
    m_sampleTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_sampleTimer, &QTimer::timeout, this, &SamplingController::SampleTick);
}

SamplingController::~SamplingController() {
    const std::lock_guard lock(m_port->mutex);
    m_port->receiver = nullptr;
}

void SamplingController::SetPeriod(int ms) {
    const std::optional<int> period = PeriodChange(Period(), ms);
    if (!period) return;
    if (*period == 0) {
        m_sampleTimer.stop();
    } else {
        m_sampleTimer.start(*period);  // the first tick comes one period from now
    }
}

int SamplingController::Period() const {
    return m_sampleTimer.isActive() ? m_sampleTimer.interval() : 0;
}

void SamplingController::ToggleSampling() {
    SetPeriod(ToggledPeriod(Period()));
}

void SamplingController::SetProbe(Probe probe) {
    m_sampler.SetProbe(std::move(probe));
}

void SamplingController::SetThreadStarter(ThreadStarter starter) {
    m_sampler.SetThreadStarter(std::move(starter));
}

void SamplingController::SetLocalClock(Sampler::LocalClock clock) {
    m_sampler.SetLocalClock(std::move(clock));
}

void SamplingController::SampleTick() {
    m_sampler.SampleTick();
}

void SamplingController::Deliver(const SampleResult& result) {
    if (m_model) m_model->SetResult(result.row, result.target, result.ms);
    emit ResultDelivered(result.row, result.target, result.ms);
}

}  // namespace tarvelin

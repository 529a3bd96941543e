#include "ClusterTestFixture.h"
#include "support/StandInTools.h"
#include "views/choice/DevtronChoiceController.h"

#include <QRegularExpression>

#include <vector>

namespace {

// kubectl's closing summary line, with the emulator's changing port left out.
QString summaryLine(const QString& error) {
    const QStringList lines = error.split(u'\n', Qt::SkipEmptyParts);
    QString last = lines.isEmpty() ? QString() : lines.last();
    static const QRegularExpression port(QStringLiteral("127\\.0\\.0\\.1:\\d+"));
    return last.replace(port, QStringLiteral("127.0.0.1:PORT"));
}

// The message Nimbrel's connection check makes of an error text; texts it passes on unchanged
// all fall in one class.
std::string connectionClass(const QString& error) {
    const QString classified = DevtronChoiceController::classifyConnectionError(error);
    return classified == error ? std::string("(passed on unchanged)") : classified.toStdString();
}

struct FaultCase {
    const char* name;
    ClusterEmulator::Fault fault;
    bool withoutCa;
    // An earlier successful probe filled kubectl's discovery cache.
    bool discoveryCached;
    // Recordings whose class the live output must share.
    std::vector<const char*> recordings;
    // The summary line varies between the timeout's two wordings.
    bool compareSummary;
};

const std::vector<FaultCase>& faultCases() {
    using Fault = ClusterEmulator::Fault;
    static const std::vector<FaultCase> cases = {
        {"unauthorized", Fault::Unauthorized, false, false, {"unauthorized"}, true},
        {"unauthorized_cached", Fault::Unauthorized, false, true, {"unauthorized-cached"}, true},
        {"plain_http", Fault::PlainHttp, false, false, {"plain-http"}, true},
        {"no_ca", Fault::None, true, false, {"no-ca"}, true},
        // A first contact retries discovery five times, 50 seconds in all; the cached run shows
        // the same class in 10 seconds.
        {"slow", Fault::Slow, false, true, {"slow", "slow-cached"}, false},
        {"unavailable", Fault::Unavailable, false, false, {"unavailable"}, true},
        {"unavailable_cached", Fault::Unavailable, false, true, {"unavailable-cached"}, true},
        {"closed_port", Fault::ClosedPort, false, false, {"closed-port"}, true},
    };
    return cases;
}

} // namespace

class KubectlFaults : public ClusterTestFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(KubectlFaults, LiveOutputFallsInTheRecordedClass) {
    const FaultCase& fault = GetParam();
    const QString kubeconfig =
        fault.withoutCa ? m_emulator.kubeconfigWithoutCaPath() : m_emulator.kubeconfigPath();
    const QString probe = ClusterTools::namespacesCommand();
    if (fault.discoveryCached) {
        const CommandResult warm = run(probe, kubeconfig);
        ASSERT_EQ(warm.exitCode, 0) << warm.error.toStdString();
    }
    ASSERT_TRUE(m_emulator.setFault(fault.fault)) << m_emulator.errorText().toStdString();

    const CommandResult live = run(probe, kubeconfig);
    EXPECT_TRUE(live.output.isEmpty()) << live.output.toStdString();
    const std::string liveClass = connectionClass(live.error);
    for (const char* name : fault.recordings) {
        const KubectlFault recorded = kubectlFault(QString::fromLatin1(name));
        EXPECT_EQ(live.exitCode, recorded.exitStatus) << name;
        EXPECT_EQ(liveClass, connectionClass(recorded.error))
            << name << "\nlive:\n"
            << live.error.toStdString() << "\nrecorded:\n"
            << recorded.error.toStdString();
        if (fault.compareSummary) {
            EXPECT_EQ(summaryLine(live.error).toStdString(),
                      summaryLine(recorded.error).toStdString())
                << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, KubectlFaults, ::testing::ValuesIn(faultCases()),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.name);
                         });

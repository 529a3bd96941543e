#include "KubeconfigFixtures.h"

#include "session/InstallationState.h"
#include "views/KubeconfigValidator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace kubeconfig_fixtures;
using Verdict = KubeconfigValidator::Verdict;

namespace {

class KubeconfigValidatorTest : public ::testing::Test {
protected:
    KubeconfigValidator::Result validate(const QByteArray& bytes) {
        return validatePath(writeFile(m_files.path(), QStringLiteral("config"), bytes));
    }

    KubeconfigValidator::Result validatePath(const QString& path) {
        return validatePath(path, tempFolder());
    }

    KubeconfigValidator::Result validatePath(const QString& path, const QString& tempDirectory) {
        m_log.clear();
        return KubeconfigValidator::validateKubeconfigFile(
            path, tempDirectory, [this](const QString& line) { m_log.append(line); });
    }

    QString tempFolder() const { return m_temp.path() + QLatin1Char('/'); }
    QString decodedPath() const { return tempFolder() + QStringLiteral("kubeconfig"); }

    QTemporaryDir m_files;
    QTemporaryDir m_temp;
    QStringList m_log;
};

TEST_F(KubeconfigValidatorTest, CompleteKubeconfigIsValidWithoutDecoding) {
    const auto result = validate(completeKubeconfig().toUtf8());
    EXPECT_EQ(result.verdict, Verdict::valid);
    EXPECT_TRUE(result.missingFields.isEmpty());
    EXPECT_FALSE(result.decodedFilePath);
    const QStringList expected{
        QStringLiteral("读取Kubeconfig文件内容..."),
        QStringLiteral("Kubeconfig文件大小: %1 字节").arg(completeKubeconfig().toUtf8().size()),
        QStringLiteral("检测到集群名称: prod-cluster")};
    EXPECT_EQ(m_log, expected);
}

TEST_F(KubeconfigValidatorTest, ThresholdOfThreeNamesDecidesTheVerdict) {
    const auto fourNames = validate(kubeconfigWithoutCurrentContext().toUtf8());
    EXPECT_EQ(fourNames.verdict, Verdict::valid);
    EXPECT_EQ(fourNames.missingFields, QStringList{QStringLiteral("current-context")});
    EXPECT_TRUE(m_log.contains(QStringLiteral("缺少字段: current-context")));
    EXPECT_FALSE(m_log.contains(QStringLiteral("尝试解码文件内容...")));

    // Plain substrings: in comments, inside longer words, case-sensitive.
    const auto threeNames = validate("# apiVersion\nKind: Config\nmycontextsfile: x\nclusters\n");
    EXPECT_EQ(threeNames.verdict, Verdict::valid);
    EXPECT_EQ(threeNames.missingFields,
              (QStringList{QStringLiteral("kind"), QStringLiteral("current-context")}));
    EXPECT_TRUE(m_log.contains(QStringLiteral("缺少字段: kind, current-context")));

    const auto twoNames = validate("apiVersion: v1\nkind: Config\n");
    EXPECT_EQ(twoNames.verdict, Verdict::invalid);
    EXPECT_TRUE(m_log.contains(QStringLiteral("尝试解码文件内容...")));
    EXPECT_TRUE(
        m_log.contains(QStringLiteral("Base64解码失败或内容不是Base64格式，使用原始文件内容")));
    EXPECT_EQ(KubeconfigValidator::invalidMessage(twoNames.missingFields),
              QStringLiteral("无效的Kubeconfig文件。请确保包含所有必要字段: "
                             "clusters, contexts, current-context。"));
}

TEST_F(KubeconfigValidatorTest, OneLineBase64IsDecodedIntoAPrivateFile) {
    for (const QByteArray& ending : {QByteArray(), QByteArray("\n"), QByteArray("\r\n")}) {
        SCOPED_TRACE(ending.toStdString());
        // An older decoded file is replaced.
        writeFile(m_temp.path(), QStringLiteral("kubeconfig"), "stale");
        const auto result = validate(base64OneLine(completeKubeconfig()) + ending);
        EXPECT_EQ(result.verdict, Verdict::valid);
        ASSERT_TRUE(result.decodedFilePath);
        EXPECT_EQ(*result.decodedFilePath, decodedPath());
        EXPECT_EQ(readFile(decodedPath()), completeKubeconfig().toUtf8());
        EXPECT_EQ(fileMode(decodedPath()), 0600);
        const QStringList expected{
            QStringLiteral("读取Kubeconfig文件内容..."),
            QStringLiteral("尝试解码文件内容..."),
            QStringLiteral("检测到Base64编码的kubeconfig文件，解码成功"),
            QStringLiteral("已自动解码kubeconfig文件"),
            QStringLiteral("Kubeconfig文件大小: %1 字节").arg(completeKubeconfig().toUtf8().size()),
            QStringLiteral("检测到集群名称: prod-cluster")};
        EXPECT_EQ(m_log, expected);
    }
}

TEST_F(KubeconfigValidatorTest, DecodingIsAdoptedOnlyWhenItFindsMoreNames) {
    const auto wrapped = validate(base64Wrapped(completeKubeconfig()));
    EXPECT_EQ(wrapped.verdict, Verdict::invalid);
    EXPECT_FALSE(wrapped.decodedFilePath);
    EXPECT_TRUE(
        m_log.contains(QStringLiteral("Base64解码失败或内容不是Base64格式，使用原始文件内容")));
    EXPECT_FALSE(QFile::exists(decodedPath()));

    const auto noBetter = validate(base64OneLine(QStringLiteral("hello world")));
    EXPECT_EQ(noBetter.verdict, Verdict::invalid);
    EXPECT_FALSE(noBetter.decodedFilePath);
    EXPECT_TRUE(
        m_log.contains(QStringLiteral("解码后内容不是有效的kubeconfig格式，使用原始文件内容")));

    // Better but still short: adopted and saved, and the verdict is taken on the decoded text.
    const auto partial = validate(base64OneLine(QStringLiteral("apiVersion: v1\nkind: Config\n")));
    EXPECT_EQ(partial.verdict, Verdict::invalid);
    EXPECT_TRUE(partial.decodedFilePath);
    EXPECT_EQ(partial.missingFields,
              (QStringList{QStringLiteral("clusters"), QStringLiteral("contexts"),
                           QStringLiteral("current-context")}));
}

TEST_F(KubeconfigValidatorTest, FailedSaveKeepsTheDecodedVerdictButNotThePath) {
    const QString source =
        writeFile(m_files.path(), QStringLiteral("b64"), base64OneLine(completeKubeconfig()));
    const auto noFolder = validatePath(source, QString());
    EXPECT_EQ(noFolder.verdict, Verdict::valid);
    EXPECT_FALSE(noFolder.decodedFilePath);
    EXPECT_TRUE(
        m_log.contains(QStringLiteral("保存解码后的kubeconfig文件失败: 没有可用的私有临时目录")));
    EXPECT_FALSE(m_log.contains(QStringLiteral("已自动解码kubeconfig文件")));

    // A folder in the way cannot be removed like a file.
    ASSERT_TRUE(QDir(m_temp.path()).mkdir(QStringLiteral("kubeconfig")));
    const auto blocked = validatePath(source);
    EXPECT_FALSE(blocked.decodedFilePath);
    EXPECT_TRUE(std::any_of(m_log.cbegin(), m_log.cend(), [](const QString& line) {
        return line.startsWith(QStringLiteral("保存解码后的kubeconfig文件失败: "));
    }));
}

TEST_F(KubeconfigValidatorTest, LinkAtTheDecodedNameIsReplacedNotFollowed) {
    const QString victim = writeFile(m_files.path(), QStringLiteral("victim"), "keep me");
    ASSERT_TRUE(QFile::link(victim, decodedPath()));
    const auto result = validate(base64OneLine(completeKubeconfig()));
    ASSERT_TRUE(result.decodedFilePath);
    EXPECT_EQ(readFile(victim), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo(decodedPath()).isSymLink());
    EXPECT_EQ(readFile(decodedPath()), completeKubeconfig().toUtf8());
}

TEST_F(KubeconfigValidatorTest, UnreadableInputsEndInReadFailure) {
    const QString dir = m_files.path();
    const QString deleted =
        writeFile(dir, QStringLiteral("deleted"), completeKubeconfig().toUtf8());
    QFile::remove(deleted);
    const struct {
        const char* label;
        QString path;
    } cases[] = {
        {"not UTF-8", writeFile(dir, QStringLiteral("latin1"), "apiVersion: v1\nkind: \xff\xfe\n")},
        {"deleted", deleted},
        {"fifo", makeFifo(dir, QStringLiteral("fifo"))},
        {"folder", dir},
        {"endless device", QStringLiteral("/dev/zero")},
        {"100 MiB", makeSparseFile(dir, QStringLiteral("huge"), qint64{100} * 1024 * 1024)},
        {"one byte over the limit",
         makeSparseFile(dir, QStringLiteral("over"), KubeconfigValidator::maximumFileSize + 1)},
    };
    for (const auto& unreadable : cases) {
        SCOPED_TRACE(unreadable.label);
        ASSERT_FALSE(unreadable.path.isEmpty());
        const auto result = validatePath(unreadable.path);
        EXPECT_EQ(result.verdict, Verdict::readFailure);
        EXPECT_FALSE(result.failureDescription.isEmpty());
        ASSERT_EQ(m_log.size(), 2);
        EXPECT_EQ(m_log.at(1),
                  QStringLiteral("读取Kubeconfig文件失败: ") + result.failureDescription);
    }
}

TEST_F(KubeconfigValidatorTest, MultiByteCharactersAreJudgedWholeAnywhereInTheFile) {
    // Characters straddling every offset around the reader's 64 KiB pieces.
    for (int pad = 0; pad < 3; ++pad) {
        SCOPED_TRACE(pad);
        const QByteArray text =
            QByteArray((1 << 16) - 2 + pad, '#') + "集群\n" + completeKubeconfig().toUtf8();
        EXPECT_EQ(validate(text).verdict, Verdict::valid);
    }
    const QByteArray cutOff = completeKubeconfig().toUtf8() + QByteArray("集").chopped(1);
    EXPECT_EQ(validate(cutOff).verdict, Verdict::readFailure);
}

TEST_F(KubeconfigValidatorTest, FileAtTheSizeLimitIsStillRead) {
    const QString limit = makeSparseFile(m_files.path(), QStringLiteral("limit"),
                                         KubeconfigValidator::maximumFileSize);
    const auto result = validatePath(limit);
    EXPECT_EQ(result.verdict, Verdict::invalid);
}

TEST_F(KubeconfigValidatorTest, SizeLineCountsBytes) {
    validate(QStringLiteral("apiVersion kind clusters 集群").toUtf8());
    EXPECT_TRUE(m_log.contains(QStringLiteral("Kubeconfig文件大小: 31 字节")));
}

TEST_F(KubeconfigValidatorTest, ClusterNameIsTheFirstPlainNameLineAfterClusters) {
    const auto name = [](const QString& text) {
        return KubeconfigValidator::clusterName(text.toUtf8());
    };
    EXPECT_EQ(name(completeKubeconfig()), QStringLiteral("prod-cluster"));
    // A dash-prefixed name line is skipped; the next plain one is taken, wherever it is.
    const QString dashed = QStringLiteral("clusters:\r\n"
                                          "- name: listed\r\n"
                                          "  cluster:\r\n"
                                          "    server: https://x\r\n"
                                          "contexts:\r\n"
                                          "- context:\r\n"
                                          "\tname:\tnext-plain \t\r\n");
    EXPECT_EQ(name(dashed), QStringLiteral("next-plain"));
    EXPECT_EQ(name(QStringLiteral("clusters: x\u2028  name: 生产集群\u2029")),
              QStringLiteral("生产集群"));
    EXPECT_FALSE(name(QStringLiteral("clusters:\n- name: only\n")));
    EXPECT_FALSE(name(QStringLiteral("  name: no-anchor\n")));
}

class KubeconfigResultTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    ScopedEnv m_stateHome{"XDG_STATE_HOME", QFile::encodeName(m_dir.path())};
    InstallationState m_state;
};

TEST_F(KubeconfigResultTest, ResultForAFileNoLongerChosenIsDropped) {
    m_state.setKubeconfigPath(QStringLiteral("/now/chosen"));
    KubeconfigValidator::Result valid;
    valid.verdict = Verdict::valid;
    valid.decodedFilePath = QStringLiteral("/tmp/decoded");
    EXPECT_FALSE(KubeconfigValidator::applyResult(valid, QStringLiteral("/earlier"), m_state));
    QTest::qWait(20);
    EXPECT_EQ(m_state.kubeconfigPath(), QStringLiteral("/now/chosen"));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
}

} // namespace

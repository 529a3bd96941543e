#include "views/kubeconfig/KubeconfigValidator.h"
#include "KubeconfigFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

using Verdict = KubeconfigValidator::Verdict;

namespace {

const QString read = u"读取Kubeconfig文件内容..."_s;

class KubeconfigValidatorTest : public KubeconfigFiles {
protected:
    KubeconfigValidator::Result validate(const QString& path, const QString& temp) {
        m_log.clear();
        return KubeconfigValidator::validateKubeconfigFile(
            path, temp, [this](const QString& line) { m_log.append(line); });
    }
    KubeconfigValidator::Result validate(const QByteArray& bytes) {
        return validate(file(u"config"_s, bytes), temp());
    }
    QString temp() const { return m_temp.path() + QLatin1Char('/'); }
    QString decoded() const { return temp() + u"kubeconfig"_s; }

    QTemporaryDir m_temp;
    QStringList m_log;
};

TEST_F(KubeconfigValidatorTest, NamesFoundDecideVerdictDecodingAndLog) {
    const QByteArray twoNames = "apiVersion: v1\nkind: Config\n";
    QByteArray wrapped = completeKubeconfig.toBase64(); // in lines of 76, as `base64` prints it
    for (qsizetype at = 76; at < wrapped.size(); at += 77) {
        wrapped.insert(at, '\n');
    }
    // The log lines after the first, each by its first four characters.
    const struct {
        QByteArray bytes;
        Verdict verdict;
        const char* missing;
        bool decoded;
        const char* log;
    } cases[] = {
        {completeKubeconfig, Verdict::valid, "", false, "Kube|检测到集"},
        // Plain case-sensitive substrings, in comments and inside longer words too.
        {"# apiVersion\nKind: 1\nmycontextsfile\nclusters\n", Verdict::valid,
         "kind,current-context", false, "Kube|缺少字段"},
        {twoNames, Verdict::invalid, "clusters,contexts,current-context", false,
         "尝试解码|Base|Kube|缺少字段"},
        {wrapped, Verdict::invalid, "apiVersion,kind,clusters,contexts,current-context", false,
         "尝试解码|Base|Kube|缺少字段"},
        {QByteArray("hello").toBase64(), Verdict::invalid,
         "apiVersion,kind,clusters,contexts,current-context", false,
         "尝试解码|解码后内|Kube|缺少字段"},
        {completeKubeconfig.toBase64() + "\r\n", Verdict::valid, "", true,
         "尝试解码|检测到B|已自动解|Kube|检测到集"},
        // Better than the file but short: adopted and saved, judged on the decoded text.
        {twoNames.toBase64(), Verdict::invalid, "clusters,contexts,current-context", true,
         "尝试解码|检测到B|已自动解|Kube|缺少字段"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.left(40).toStdString());
        QFile::remove(decoded());
        const auto result = validate(c.bytes);
        EXPECT_EQ(result.verdict, c.verdict);
        EXPECT_EQ(result.missingFields.join(','), QLatin1String(c.missing));
        EXPECT_EQ(result.decodedFilePath, c.decoded ? std::optional(decoded()) : std::nullopt);
        EXPECT_EQ(QFile::exists(decoded()), c.decoded);
        QStringList shortened;
        for (const QString& line : m_log.mid(1)) {
            shortened << line.left(4);
        }
        EXPECT_EQ(m_log.value(0), read);
        EXPECT_EQ(shortened.join('|'), QString::fromUtf8(c.log));
    }
    validate(twoNames.toBase64());
    EXPECT_EQ(m_log.mid(4), (QStringList{u"Kubeconfig文件大小: 28 字节"_s,
                                         u"缺少字段: clusters, contexts, current-context"_s}))
        << "the decoded text's size";
    validate("apiVersion kind clusters 集群");
    EXPECT_EQ(m_log.value(1), u"Kubeconfig文件大小: 31 字节"_s) << "bytes, not characters";
}

TEST_F(KubeconfigValidatorTest, DecodedFileIsOwnerOnlyNeverWrittenThroughALinkAndMayFailToSave) {
    const QString victim = file(u"victim"_s, "keep me");
    ASSERT_TRUE(QFile::link(victim, decoded()));
    EXPECT_EQ(validate(completeKubeconfig.toBase64()).decodedFilePath, decoded());
    EXPECT_FALSE(QFileInfo(decoded()).isSymLink());
    EXPECT_EQ(QFileInfo(victim).size(), 7);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(decoded()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U);

    const QString source = file(u"b64"_s, completeKubeconfig.toBase64());
    const auto noFolder = validate(source, QString());
    EXPECT_EQ(noFolder.verdict, Verdict::valid);
    EXPECT_FALSE(noFolder.decodedFilePath);
    EXPECT_TRUE(m_log.contains(u"保存解码后的kubeconfig文件失败: 没有可用的私有临时目录"_s));
    QFile::remove(decoded());
    ASSERT_TRUE(QDir(m_temp.path()).mkdir(u"kubeconfig"_s));
    EXPECT_FALSE(validate(source, temp()).decodedFilePath) << "a folder is in the way";
}

TEST_F(KubeconfigValidatorTest, UnreadableInputsEndInReadFailureWithItsLogLine) {
    const QString fifo = m_files.filePath(u"fifo"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto sparse = [&](const char* name, qint64 bytes) {
        QString path = file(QString::fromLatin1(name), {});
        QFile(path).resize(bytes);
        return path;
    };
    const QString limit = sparse("limit", KubeconfigValidator::maximumFileSize);
    for (const QString& path :
         {file(u"latin1"_s, "apiVersion: v1\nkind: \xff\xfe\n"),
          file(u"cut"_s, completeKubeconfig + QByteArray("集").chopped(1)),
          m_files.filePath(u"missing"_s), fifo, m_files.path(), u"/dev/zero"_s,
          sparse("over", KubeconfigValidator::maximumFileSize + 1)}) {
        const auto result = validate(path, temp());
        EXPECT_EQ(result.verdict, Verdict::readFailure) << path.toStdString();
        EXPECT_EQ(m_log,
                  (QStringList{read, u"读取Kubeconfig文件失败: "_s + result.failureDescription}));
    }
    EXPECT_EQ(validate(limit, temp()).verdict, Verdict::invalid) << "at the limit it is read";
    // Characters straddling the reader's 64 KiB pieces are judged whole.
    for (int pad = 0; pad < 3; ++pad) {
        EXPECT_EQ(
            validate(QByteArray((1 << 16) - 2 + pad, '#') + "集群\n" + completeKubeconfig).verdict,
            Verdict::valid);
    }
}

TEST(KubeconfigClusterName, IsTheFirstPlainNameLineAfterClusters) {
    const std::pair<QString, std::optional<QString>> cases[] = {
        {QString::fromUtf8(completeKubeconfig), u"prod-cluster"_s},
        // A dash-prefixed name line is skipped; the next plain one is taken, wherever it is.
        {u"clusters:\r\n- name: listed\r\nx:\r\n\tname:\tnext \t\r\n"_s, u"next"_s},
        {u"clusters: x\u2028  name: 生产集群\u2029"_s, u"生产集群"_s},
        {u"clusters:\n- name: only\n"_s, std::nullopt},
        {u"  name: no-anchor\n"_s, std::nullopt},
    };
    for (const auto& [text, name] : cases) {
        EXPECT_EQ(KubeconfigValidator::clusterName(text.toUtf8()), name) << text.toStdString();
    }
}

} // namespace

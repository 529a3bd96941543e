#pragma once

#include "cluster/KubeconfigContexts.h"
#include "views/kubeconfig/KubeconfigValidator.h"

#include <QList>
#include <QObject>
#include <QString>

class InstallationState;

// The kubeconfig step: the chosen file, its check on the shared background pool, and the way on
// once the file passes. Lives on the GUI thread; a check's outcome comes back to it there.
class KubeconfigStepController : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isValidating READ isValidating NOTIFY isValidatingChanged)
    Q_PROPERTY(QString kubeconfigPath READ kubeconfigPath NOTIFY kubeconfigPathChanged)
    Q_PROPERTY(QString kubeconfigDisplayPath READ kubeconfigDisplayPath NOTIFY
                   kubeconfigDisplayPathChanged)

public:
    // Where "点击注册" leads: a page listing hosted Kubernetes providers, chosen at build time.
    static constexpr const char* registrationUrl = NIMBREL_REGISTRATION_URL;

    explicit KubeconfigStepController(InstallationState& state, QObject* parent = nullptr);

    bool isValidating() const { return m_isValidating; }
    // The file the later steps use (a decoded copy after a Base64 file), and the user's own.
    QString kubeconfigPath() const;
    QString kubeconfigDisplayPath() const;
    // A file is chosen and no check runs: "下一步" can be pressed.
    bool canProceed() const;

    // A file confirmed in the file dialog.
    void chooseFile(const QString& path);
    // "更换文件": back to nothing chosen. Not while a check runs, whose outcome needs its file.
    void clearChoice();
    // "下一步": starts the check unless nothing is chosen or a check already runs.
    void proceed();
    // The contexts of the chosen file, the current one first; read in the background once a file
    // is chosen. Empty while they are read, or when they cannot be (contextsFailure() says why).
    const QList<KubeconfigContexts::Context>& contexts() const { return m_contexts; }
    QString contextsFailure() const { return m_contextsFailure; }
    // The context "下一步" goes on with; -1 while none is listed.
    int chosenContext() const { return m_chosenContext; }
    void chooseContext(int index);

    // Logs the start and hands the check of the chosen file to the shared background pool.
    void validateKubeconfigFile();

    // Opens a web address in the default browser; text that is no address is ignored.
    static void openURL(const QString& text);

signals:
    void isValidatingChanged();
    void kubeconfigPathChanged();
    void kubeconfigDisplayPathChanged();
    void contextsChanged();
    void chosenContextChanged();

private:
    // On the GUI thread: switches to the decoded file when there is one, then advances the wizard
    // or raises the error. A result for a file that is no longer the chosen one is dropped.
    void deliver(const KubeconfigValidator::Result& result,
                 const std::optional<KubeconfigContexts::Copy>& copy, const QString& validatedPath);
    // Starts reading the chosen file's contexts; a list for a file no longer chosen is dropped.
    void readContexts();
    void setContexts(const KubeconfigContexts::List& list);
    void setIsValidating(bool value);

    InstallationState& m_state;
    bool m_isValidating = false;
    QList<KubeconfigContexts::Context> m_contexts;
    QString m_contextsFailure;
    int m_chosenContext = -1;
};

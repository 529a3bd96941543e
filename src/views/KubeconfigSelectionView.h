#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class BusyIndicator;
class InstallationState;
class QLabel;
class QPushButton;
class QStackedWidget;

// The wizard's first screen: choose the kubeconfig file, replace it, and validate it in the
// background before moving on.
class KubeconfigSelectionView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool isValidating READ isValidating NOTIFY isValidatingChanged)

public:
    // Where "点击注册" leads: the cloud provider's account sign-up page.
    static constexpr const char* registrationUrl =
        "https://account.aliyun.com/register/register.htm";

    // Asks the user for a file and returns its path; empty when the user cancelled.
    using FilePicker = std::function<QString(QWidget* parent)>;

    explicit KubeconfigSelectionView(InstallationState& state, QWidget* parent = nullptr);

    bool isValidating() const { return m_isValidating; }
    bool isFilePickerPresented() const { return m_isFilePickerPresented; }

    // Replaces the modal file dialog, so that tests never block on it.
    void setFilePicker(FilePicker picker);
    // The modal open-file dialog the screen uses by default.
    static QString pickFileWithDialog(QWidget* parent);

    // Runs the file picker once the current event has been handled.
    void presentCustomFilePicker();
    // Opens a web address in the default browser; text that is no address is ignored.
    static void openURL(const QString& text);
    // Logs the start and hands the check of the chosen file to the shared background pool.
    void validateKubeconfigFile();

signals:
    void isValidatingChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildEmptyPanel();
    QWidget* buildFilePanel();
    QWidget* buildBottomRow();

    void browse();
    void proceed();
    void setIsValidating(bool value);
    void refresh();
    void elidePath();

    InstallationState& m_state;
    FilePicker m_filePicker;
    bool m_isFilePickerPresented = false;
    bool m_isValidating = false;

    QStackedWidget* m_panels = nullptr;
    QWidget* m_emptyPanel = nullptr;
    QWidget* m_filePanel = nullptr;
    QLabel* m_fileNameLabel = nullptr;
    QLabel* m_filePathLabel = nullptr;
    QPushButton* m_changeButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    BusyIndicator* m_busyIndicator = nullptr;
};

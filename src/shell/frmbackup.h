#pragma once
// "Backup do Banco de Dados do Tivane Dízimos": copies the database file to a
// chosen folder or back from one.
#include "shell/backup.h"

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeView;

namespace tivane {

// The copy step with its questions and messages: the copy of backup.h, run on a
// thread of its own while the please-wait window shows how far it got and the rest
// of the program waits.
ResultadoBackup executabackup(ModoBackup modo, const QString& pasta, const QVector<UnidadeListada>& unidades = {});

class FrmBackup : public QWidget {
    Q_OBJECT
public:
    FrmBackup();

    // The mode, with the caption of Framedestino, the BACKUP or RESTAURAR picture, and the folder panel.
    void definemodo(ModoBackup modo);
    // The copy step in the window's mode.
    void avancabackup();
    void limpaframes();
    // The folder shown by the folder list (the drive's root when none is chosen).
    QString pastaatual() const;
    // Shows the folder in the folder list and in txtcaminho.
    void definepasta(const QString& pasta);

protected:
    bool event(QEvent* e) override;

private:
    void trocadrive();
    void novapasta();
    void criapasta();
    void voltapasta();

    QGroupBox* destino_;
    QGroupBox* novapasta_;
    QGroupBox* sucesso_;
    QWidget* frame1_;
    QWidget* frame2_;
    QComboBox* drive_;
    QTreeView* dir_;
    QFileSystemModel* modelo_;
    QLineEdit* caminho_;
    QLabel* lblcaminho_;
    QLineEdit* txtpasta_;
    QLabel* lblstatus_;
    QLineEdit* tamanho_;
    QTimer* timer1_;
    QTimer* timer2_;
    ModoBackup modo_ = ModoBackup::Backup;
    QString driveAtual_;
    QVector<UnidadeListada> unidades_;   // the drives as listed when the window loaded
    QString copiado_;   // the file written by the last copy
};

}  // namespace tivane

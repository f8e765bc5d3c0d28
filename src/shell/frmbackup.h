#pragma once
// "Backup do Banco de Dados do Tivane Dízimos": copies the database file to a
// chosen folder or back from one. The mode lives in the caption of Framedestino.
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

class FrmBackup : public QWidget {
    Q_OBJECT
public:
    FrmBackup();

    // Caption of Framedestino, the BACKUP or RESTAURAR picture, and the folder panel.
    void definemodo(ModoBackup modo);
    // The copy step in the direction of the caption of Framedestino.
    void avancabackup();
    // The copy with its messages; tamanho gets the bytes copied, 0 when nothing was.
    void CopyFile(const QString& origem, const QString& destino, qint64& tamanho);
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
    QString driveAtual_;
    QVector<UnidadeListada> unidades_;   // the drives as listed when the window loaded
    QString copiado_;   // the file written by the last copy
};

}  // namespace tivane

#pragma once
// "Configurações do Sistema": the receipt options, the start-up sweep and its
// days, the login without a password, the data folder, the receipt's central
// text and the main window's background picture.
#include "shell/configuracoes.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tivane {

class FrmConfiguracoes : public QWidget {
    Q_OBJECT
public:
    FrmConfiguracoes();

    void carregaconfiguracoes(const Configuracoes& c);
    Configuracoes configuracoesdajanela() const;

    void salvar();        // "Salvar & Sair"
    void restaurar();     // "Restaurar"
    void voltar();        // "Sair"
    void alterarfundo();  // "Alterar Fundo"
    void excluirfundo();  // "Excluir Fundo"

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QRadioButton* optrecibo_[2];
    QRadioButton* optcorrecibo_[2];
    QCheckBox* chkbloqueia_;
    QCheckBox* chkiniciaauto_;
    QCheckBox* chkcodigo_;
    QCheckBox* chkmargem_;
    QCheckBox* chkmesreferencia_;
    QGroupBox* frametempolimite_;
    QLineEdit* txttempolimite_;
    QLineEdit* txtcaminhodados_;   // txtcaminho(0)
    QLineEdit* txtcaminhologo_;    // txtcaminho(3), hidden
    QLineEdit* txtmensagemcentral_;
    QLabel* logoigreja_;
};

}  // namespace tivane

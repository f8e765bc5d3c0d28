#pragma once
// The tither registration window "frmcadastrodizimistas": register, browse,
// change and delete tithe payers. The record rules live in dizimistas.h and
// numeracao.h; this window shows their answers and asks the user.
#include <QString>

#include "register/dizimistas.h"
#include "register/janelacadastro.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tivane {

// Shows the tithers window (opening it when closed) on the tither of that
// code, read-only ("Somente Leitura"). Used by the search window.
void abredizimista(const QString& codigo);

// Shows the tither's small photo in the window's "picfoto", or clears it and
// writes "Sem Foto" in its "lblmsgfoto" when there is no photo file.
void carregafotodizimista(QWidget* janela, const QString& codigo);

class FrmCadastroDizimistas : public JanelaCadastro {
    Q_OBJECT
public:
    FrmCadastroDizimistas();

    // Form procedures.
    void limparcampos();

    // Numbering and navigation.
    void novodizimista();
    void proximodizimista();
    void anteriordizimista();

    // Record operations.
    Dizimista preencheregistrodizimista() const;
    void mostraregistro(const Dizimista& dizimista);
    void gravardizimista();
    bool datasconferem();                 // every date box blank or a real date
    void incluirdizimista(const QString& codigo);
    void alterardizimista(bool perguntar);
    void modificardizimista();            // key F7: the code box stays locked
    void iniciamodificacaodizimista();    // toolbar: the code box is unlocked too
    void excluirdizimista(const QString& codigo);

    // "Filiação" (0) / "Mais Dados" (1): switch the lower panel.
    void cmdmaisdados(int indice);

protected:
    void novo() override { novodizimista(); }
    void localizar() override;
    void salvar() override { gravardizimista(); }
    void excluir(const QString& codigo) override { excluirdizimista(codigo); }
    void modificar() override { iniciamodificacaodizimista(); }
    void teclamodificar() override { modificardizimista(); }
    // The code chosen in the search: into the code box, the record shown read-only.
    void recebecodigobusca(const QString& codigo) override;
    bool mostra(const QString& codigo) override;

private:
    void reinicia();
    QLineEdit* caixa(QWidget* pai, const char* nome, int maximo) { return criacaixa(pai, nome, maximo); }
    QLineEdit* caixadata(QWidget* pai, const char* nome);

    QLineEdit* txtdatacadastro_;
    QLineEdit* txtbarras_;
    QLineEdit* txtnome_;
    QLineEdit* txtnascimento_;
    QRadioButton* optsexo_[2];
    QComboBox* combogrupo_;
    QComboBox* cbestadocivil_;
    QLineEdit* txtconjuge_;
    QRadioButton* optativo_;
    QRadioButton* optinativo_;
    QLabel* picfoto_;
    QLabel* lblmsgfoto_;
    QPushButton* cmdfoto_;
    QGroupBox* frameendereco_;
    QLineEdit* txtendereco_;
    QLineEdit* txtbairro_;
    QLineEdit* txtcidade_;
    QComboBox* cbestado_;
    QLineEdit* txtcep_;
    QGroupBox* framecontato_;
    QLineEdit* txttel_;
    QLineEdit* txtcelular_;
    QLineEdit* txtemail_;
    QLineEdit* txtmsn_;
    QGroupBox* framemaisdados_;
    QLineEdit* txtrg_;
    QLineEdit* txtcpf_;
    QLineEdit* txtcasamento_;
    QLineEdit* txtconversao_;
    QLineEdit* txtprofissao_;
    QCheckBox* chkdesempregado_;
    QCheckBox* chkadoecido_;
    QCheckBox* chkfalecido_;
    QPlainTextEdit* txtobs_;
    QGroupBox* framefiliacao_;
    QPushButton* cmdmaisdados_[2];
};

}  // namespace tivane

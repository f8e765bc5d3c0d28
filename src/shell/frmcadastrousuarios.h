#pragma once
// The users window "frmcadastrousuarios": the people who may log in. The
// record rules live in usuarios.h, the numbering and stepping in numeracao.h.
#include "register/janelacadastro.h"
#include "shell/usuarios.h"

class QLineEdit;

namespace tivane {

class FrmCadastroUsuarios : public JanelaCadastro {
    Q_OBJECT
public:
    FrmCadastroUsuarios();

    // Form procedures.
    void limparcampos();
    Leitura registroexiste() const;   // the code shown is a saved code (exact text)

    void novousuario();
    void anteriorusuario() { anteriorregistro(); }
    void gravarusuario();
    void incluirusuario(const QString& codigo);
    void alterarusuario(bool perguntar);
    Usuario preencheregistrousuario() const;
    void preenchecamposusuario(const Usuario& usuario);
    void excluirusuario(const QString& codigo);

protected:
    void novo() override { novousuario(); }
    void localizar() override;
    // "Salvar (F5)" and F5: the password must match its confirmation first.
    void salvar() override;
    void excluir(const QString& codigo) override { excluirusuario(codigo); }
    // "Modificar (F7)" and F7: the current password first.
    void modificar() override;
    void teclamodificar() override;
    bool mostra(const QString& codigo) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void reinicia();
    bool confirmasenhaatual();

    QLineEdit* txtdatacadastro_;
    QLineEdit* txtnome_;
    QLineEdit* txtsenha_;
    QLineEdit* txtcontrasenha_;
};

}  // namespace tivane

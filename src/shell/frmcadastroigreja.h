#pragma once
// "Dados da Igreja": the church's one record, edited and saved here.
#include "core/igreja.h"

#include <QWidget>

class QComboBox;
class QLineEdit;

namespace tivane {

class FrmCadastroIgreja : public QWidget {
    Q_OBJECT
public:
    FrmCadastroIgreja();

    // Copies the stored record into the boxes (empty values leave a box as it is).
    void carregadadosigreja(const DadosIgreja& dados);
    // The record as the boxes hold it.
    DadosIgreja dadosdajanela() const;

    void salvar();   // "Salvar & Sair"
    void voltar();   // "Sair"

protected:
    bool event(QEvent* e) override;

private:
    QLineEdit* caixa(const char* nome) const;
    QComboBox* estado_;
    // The stored record could not be read: saving would replace it by blanks.
    bool naolido_ = false;
};

}  // namespace tivane

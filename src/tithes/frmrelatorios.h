#pragma once
// The reports window "frmrelatorios": the choice of report type with its
// period, tither and field options, the tither list with its filter, and the
// neighbourhood panel. The receipts-by-period reports run from here too.
#include <QWidget>

#include "tithes/relatorios.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QToolButton;

namespace tivane {

class FrmRelatorios : public QWidget {
    Q_OBJECT
public:
    enum TipoRelatorio { Nenhum = -1, PorPeriodo = 0, PorDizimista = 1, DadosDeCadastro = 2, Aniversariantes = 3 };

    FrmRelatorios();

    // Public methods other windows and the main menu use.
    void relatorioaniversariantes(bool exibetelefone);
    void relatoriodedados();
    void gerarelatoriorecebimentopordata(const QString& datainicio, const QString& datafim,
                                         const QString& codigodizimista);
    void janeladizimistaporbairro();
    // The list loaders: on a read failure the list is emptied, the cause is
    // shown and the reports built on the list are refused until a load succeeds.
    bool carregalistacompletadizimistas();
    bool carregalistadizimistasporbairro(const QString& bairro);
    void gerarelatoriorecebimentopordataanalitico(const QString& datainicio, const QString& datafim,
                                                  const QString& codigodizimista);

    // Chooses a report type (0 to 3) and shows its panels; any other number is ignored.
    void escolhetipo(int indice);
    // The report type chosen, Nenhum at first.
    TipoRelatorio tipoescolhido() const { return tipo_; }

    // Event handlers.
    void cmdtiporelatorio_Click(int indice);
    void opttiporelatorio_Click(TipoRelatorio tipo);
    void cmdgerarelatorio_Click();
    void cmdgerarelatoriodizimistabairro_Click();
    void cmdfiltra_Click();
    void cmdprocurar_Click();
    void cmdsair_Click();
    void txtcodigodizimista_Change();
    void listadizimistas_ColumnClick(int coluna);

    // The dates of the period frame as "dd/mm/yyyy" (row 0 start, row 1 end).
    QString dataescolhida(int linha) const;
    // The items of the list in its current order.
    ListaDizimistas itensdalista() const;

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void preenchelista(const ListaDizimistas& itens);
    bool mostralista(bool lida, const ListaDizimistas& itens, const QString& causa);
    bool listaincompleta() const;
    void ordenalista();
    void definepadrao(QPushButton* botao);
    CamposRelatorio camposmarcados(int primeiro) const;

    bool listafalhou_ = false;   // the last load of the list could not read the table
    QGroupBox* frame_;
    QFrame* framerelatorios_;
    QGroupBox* framedizimistabairro_;
    QGroupBox* framerelatoriosanaliticos_;
    QToolButton* cmdtiporelatorio_[3];
    QGroupBox* frameperiodo_;
    QGroupBox* frameopcaoperiodo_;
    QFrame* frameseleciona_;
    QGroupBox* framedados_;
    QGroupBox* frameopcoes_;
    QComboBox* combodias_[2];
    QComboBox* combomes_[2];
    QComboBox* comboano_[2];
    QRadioButton* optperiodo_[2];
    QLineEdit* txtcodigodizimista_;
    QLineEdit* txtnomedizimista_;
    QPushButton* cmdprocurar_;
    QRadioButton* optfiltro_[3];
    QPushButton* cmdfiltra_;
    QTreeWidget* listadizimistas_;
    QCheckBox* chkopcoes_[12];
    QPushButton* cmdgerarelatorio_;
    QPushButton* cmdsair_;
    QLineEdit* txtbairro_;
    QPushButton* cmdgerarelatoriodizimistabairro_;
    QPushButton* padrao_ = nullptr;

    TipoRelatorio tipo_ = Nenhum;
    int mesaniversario_ = 0;   // the month the birthday list is loaded for

    ListaDizimistas itens_;   // what the last loader gave; the list points into it
    int colunaordem_ = -1;           // sort key once a header was clicked
};

// The birthday prompt of the main menu: asks for the month, then for the
// phones, and shows the report. Leaves the reports window as it is.
void promptaniversariantes();
// Reads the prompt's answer as the old program did: a number (decimal comma
// allowed), rounded down. False when it is not a number.
bool lernumeromes(const QString& resposta, int* mes);

}  // namespace tivane

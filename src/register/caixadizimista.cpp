#include "register/caixadizimista.h"

#include "core/conexao.h"
#include "core/dialogos.h"
#include "register/dizimistas.h"

#include <QColor>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace tivane {

Leitura dizimistadacaixa(const QString& codigo, QString* nome)
{
    // An emptied box (as after each receipt) asks nothing: no tither has an empty code.
    if (codigo.isEmpty()) {
        if (nome)
            nome->clear();
        return Leitura::NaoEncontrado;
    }
    return localizadizimista(codigo, nome);
}

void mostradizimistadocodigo(QWidget* janela, QLineEdit* codigo, QLineEdit* nome)
{
    static const QColor AZULCLARO(192, 192, 255);
    const QString texto = codigo->text();
    QString achado;
    const Leitura lido = dizimistadacaixa(texto, &achado);
    const bool existe = lido == Leitura::Encontrado;
    for (QLineEdit* e : {codigo, nome}) {
        QPalette p = e->palette();
        p.setColor(QPalette::Base, existe ? AZULCLARO : janela->palette().color(QPalette::Base));
        e->setPalette(p);
    }
    nome->setText(achado);
    if (lido == Leitura::Falha)
        Dialogos::avisaFalhaLeitura(QStringLiteral("Não foi possível procurar o dizimista ") + texto, lido.causa());
}

}  // namespace tivane

#pragma once
// The printed receipt: what it shows (built from the payment row, the church's
// record and the settings) and the one routine that draws it for the screen
// and the printer at its true size.
#include <QDate>
#include <QSize>
#include <QString>

#include "core/conexao.h"

class QPainter;
class QPrinter;

namespace tivane {

struct ModeloRecibo {
    // Payment.
    QString codigo;        // receipt code
    QString nome;          // tither's name
    QString valor;         // amount as stored ("12,50")
    QString extenso;       // amount in words
    QString matricula;     // tither's code
    QString data;          // long date of the day of issue
    QString mes, ano;      // reference month and year
    // Church.
    QString fantasia, endereco, telefone, site;
    // Settings.
    QString central = QStringLiteral("PAGAMENTO DE DÍZIMO");  // "msgcentral"
    bool duasvias = true;          // option "01" off
    bool colorido = true;          // option "02"
    bool mostramatricula = false;  // option "05"
    bool borda = false;            // option "06"
    bool referencia = false;       // option "07"
    bool segundavia = false;       // "2* VIA" on the first copy
};

// Fills the model for a receipt code as of `hoje`.
Leitura montarecibo(const QString& codigo, ModeloRecibo* modelo, const QDate& hoje = QDate::currentDate());

// Receipt area in twips (the form's client area, 1440 twips to the inch).
constexpr int LARGURA_RECIBO_TWIPS = 11820;
constexpr int ALTURA_RECIBO_TWIPS = 4185;
QSize tamanhorecibo(int dpix, int dpiy);   // in device pixels

// Draws the receipt from the painter's origin, scaled by the device's dpi / 1440
// (fonts in points), so screen, image and printer show it at its true size.
void desenharecibo(QPainter& pintor, const ModeloRecibo& modelo);
// Prints on a ready printer (one page); false when the printer cannot be started.
bool imprimerecibo(const ModeloRecibo& modelo, QPrinter* impressora);
// A document name for the printer that is also a valid file name: "Recibo
// 00002/26" becomes "Recibo 00002-26".
QString nomedocumento(const QString& nome);
}  // namespace tivane

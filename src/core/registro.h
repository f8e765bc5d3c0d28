#pragma once
// Settings store: the program's keys kept in user-scope INI files through QSettings.
// "Software\TivaneDizimo\<group>" lives in organisation "Tivane", application
// "TivaneDizimo"; "Software\Tivane\<group>" in application "Tivane".
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tivane {

enum class RaizRegistro { LocalMachine };

// Generic layer. Writers return false when the store could not be written.
[[nodiscard]] bool gravavalorregistro(RaizRegistro raiz, const QString& chave, const QString& nome, const QVariant& valor);
// Returns an invalid QVariant when the key or value does not exist.
QVariant lervalorregistro(RaizRegistro raiz, const QString& chave, const QString& nome);

// Typed layer.
[[nodiscard]] bool gravatextopadrao(const QString& nome, const QString& texto);
QString lertextopadrao(const QString& nome);
[[nodiscard]] bool gravaopcao(const QString& nome, bool valor);
bool leropcao(const QString& nome);
bool textoEhSim(const QString& texto);
[[nodiscard]] bool gravausuarioatual(QString& codigo);   // the caller's variable holds the scrambled text afterwards
QString lerusuarioatual();
// "Software\Tivane\opcoes" value "31": printer dialog before a report is printed.
bool leropcaotivane(const QString& nome);

QString caminhoPadraoInicial();            // ~/TivaneDizimos (c:\TivaneDizimos on Windows)
QString retornacaminhopadrao();            // always ends with the separator
// Writes the defaults; with ask true asks first and confirms. False when not written.
[[nodiscard]] bool restaurapadroes(bool perguntar);
bool existemConfiguracoes();               // any setting of the program stored yet
QStringList arquivosconfiguracao();        // the settings files, whether written yet or not

QString codificatexto(const QString& chave, const QString& texto, double modo);
constexpr const char* CHAVE_USUARIO = "VORDINK";

bool arquivoexiste(const QString& caminho);
void selecionatexto();

}  // namespace tivane

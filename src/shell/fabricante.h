#pragma once
// The maker's contacts shown in the about window, and the online manual's address.
namespace tivane {
namespace Fabricante {

constexpr const char* NOME = "Tivane System";
constexpr const char* SITE = "https://www.tivanesystem.com.br";
constexpr const char* EMAIL = "contato@tivanesystem.com.br";
constexpr const char* CHAMADA = "tivanesystem";   // chat handle of "Chamar: "
constexpr const char* ENDERECO = "Rio de Janeiro - RJ";
constexpr const char* TELEFONE = "(21) 3000-0000";
constexpr const char* MANUAL = "https://www.tivanesystem.com.br/downloads/manualtivanedizimos.pdf";

}  // namespace Fabricante
}  // namespace tivane

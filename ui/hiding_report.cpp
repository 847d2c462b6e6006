#include "hiding_report.h"

#include "platform/system_text_win.h"
#include "platform/text_win.h"

namespace quelvo {
namespace {

std::wstring Quoted(std::string_view text) {
    return L"« " + Widen(text) + L" »";
}

std::wstring Extensions(const UserHiders &hiders) {
    std::wstring list;
    for (const UserHiders::OpenWith &choice : hiders.openWith)
        list += (list.empty() ? L"" : L", ") + Widen(choice.extension);
    return list;
}

} // namespace

Choice HidingChoice(const ViewerRecord &viewer, const UserHiders &hiders, DefaultsPage page) {
    const std::wstring name = Quoted(viewer.displayName);
    Choice choice;
    choice.warning = true;
    choice.instruction = L"Vos propres réglages passent avant " + name + L" pour votre compte.";
    choice.content = name + L" est choisi pour tout le PC, mais pour vous, Windows lit d'abord :";
    for (const std::string &key : hiders.userKeys)
        choice.content += L"\n- votre clé " + Widen(key);
    for (const UserHiders::OpenWith &openWith : hiders.openWith)
        choice.content += L"\n- votre choix « Ouvrir avec » pour " + Widen(openWith.extension) + L" (" +
                          Widen(openWith.progId) + L")";
    if (!hiders.userKeys.empty()) {
        choice.content += L"\n\nVos clés personnelles continueront de l'emporter sur les prochains changements faits "
                          L"pour tout le PC. « Pour moi aussi » choisit " + name + L" dans vos clés.";
        choice.buttons.push_back({kChoiceForMeToo, L"Pour moi aussi"});
    }
    if (hiders.openWith.empty()) return choice;
    const std::wstring extensions = Extensions(hiders);
    const std::wstring entry = Quoted(viewer.extensionProgId);
    switch (page) {
    case DefaultsPage::DefaultApps:
        choice.content += L"\n\nAucun programme ne peut changer un choix « Ouvrir avec ». Dans Paramètres, "
                          L"Applications par défaut, associez " + extensions + L" à " + name + L" (type de fichier " +
                          entry + L").";
        choice.buttons.push_back({kChoiceOpenDefaults, L"Ouvrir Applications par défaut"});
        break;
    case DefaultsPage::DefaultPrograms:
        choice.content += L"\n\nAucun programme ne peut changer un choix « Ouvrir avec ». Dans le Panneau de "
                          L"configuration, Programmes par défaut, associez " + extensions + L" à " + name +
                          L" (type de fichier " + entry + L").";
        choice.buttons.push_back({kChoiceOpenDefaults, L"Ouvrir Programmes par défaut"});
        break;
    case DefaultsPage::None:
        choice.content += L"\n\n« Effacer mon choix » retire votre choix « Ouvrir avec » pour " + extensions +
                          L" : ces fichiers suivront alors le réglage du PC.";
        choice.buttons.push_back({kChoiceClearOpenWith, L"Effacer mon choix"});
        break;
    }
    return choice;
}

std::wstring DefaultsPageFailedMessage(DefaultsPage page, DWORD error) {
    return std::wstring(L"Windows n'a pas pu ouvrir ") +
           (page == DefaultsPage::DefaultApps ? L"Applications par défaut" : L"Programmes par défaut") +
           L".\n\nWindows indique : " + SystemText(error) + L" (erreur " + std::to_wstring(error) + L")";
}

std::wstring ClearChoiceFailedMessage(std::string_view extension, DWORD error) {
    return L"Votre choix « Ouvrir avec » pour " + Widen(extension) + L" n'a pas pu être effacé.\n\nWindows indique : " +
           SystemText(error) + L" (erreur " + std::to_wstring(error) + L")";
}

} // namespace quelvo

/* The program's name and version, for the version record and for the program's own texts. */
#pragma once

#define TIVORA_TITLE "Tivora!!!"
#define TIVORA_VERSION_MAJOR 1
#define TIVORA_VERSION_MINOR 1
#define TIVORA_VERSION_TEXT "1.1"
#define TIVORA_PRODUCT_NAME "Tivora!!! v.1.1"
#define TIVORA_DESCRIPTION "В назначенное время уведомляет о наступлении ночи или сама уменьшает громкость."

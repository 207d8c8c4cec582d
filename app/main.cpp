#include "app/CLumidorApp.h"

int main(int argc, char **argv)
{
    CLumidorApp app(argc, argv);
    return app.InitInstance();
}
